#include "PrintJob.h"

#include "PrintSystem.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QPrinter>

namespace quorrel::platform {

QPainter* CPrintJob::Begin()
{
    m_printerName = m_printer.outputFormat() == QPrinter::NativeFormat ? m_printer.printerName() : QString();
    if (!m_printerName.isEmpty()) {
        if (std::optional<QString> refusal = PrintSystem().JobStarting(m_printerName)) {
            Fail(refusal);
            return nullptr;
        }
    }
    if (!m_painter.begin(&m_printer)) {
        Fail(std::nullopt);
        return nullptr;
    }
    // The page holds the image's own pixels: no JPEG in the document sent
    // to the printer.
    m_painter.setRenderHint(QPainter::LosslessImageRendering, true);
    return &m_painter;
}

bool CPrintJob::Finish()
{
    if (!m_painter.isActive())
        return false;
    if (!m_painter.end())
        return Fail(std::nullopt);
    if (m_printerName.isEmpty())
        return true;
    if (std::optional<QString> refusal = PrintSystem().JobHandedOver(m_printerName))
        return Fail(refusal);
    return true;
}

bool CPrintJob::Fail(const std::optional<QString>& reason)
{
    QString text = QCoreApplication::translate("PrintJob", "Could not start print job.");
    if (reason && !m_printerName.isEmpty())
        text += QCoreApplication::translate("PrintJob", "\nThe printer \"%1\" did not take it: %2").arg(m_printerName, *reason);
    AfxMessageBox(text);
    return false;
}

} // namespace quorrel::platform
