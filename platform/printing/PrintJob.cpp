#include "PrintJob.h"

#include "PrintSystem.h"
#include "platform/MessageBox.h"

#include <QPdfWriter>
#include <QPrintEngine>
#include <QCoreApplication>
#include <QPrinter>
#include <QTemporaryDir>

namespace quorrel::platform {

namespace {

// Where Qt's print dialogs keep the printer's own options (name, value, name,
// value, ...) on the printer's engine.
constexpr auto kPrinterOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

const QString kJobFile = QStringLiteral("job.pdf");

// The job's options as the printer's settings give them: paper, copies,
// sides, orientation, colour, then the printer's own options chosen in its
// dialog.
QList<std::pair<QByteArray, QByteArray>> JobOptions(QPrinter& printer)
{
    QList<std::pair<QByteArray, QByteArray>> options;
    const auto add = [&options](const QByteArray& name, const QByteArray& value) { options.emplaceBack(name, value); };
    const QPageLayout layout = printer.pageLayout();
    add("media", layout.pageSize().key().toUtf8());
    const int copies = printer.copyCount();
    if (copies > 1) {
        add("copies", QByteArray::number(copies));
        if (printer.collateCopies())
            add("Collate", "True");
    }
    const bool portrait = layout.orientation() == QPageLayout::Portrait;
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        add("sides", "one-sided");
        break;
    case QPrinter::DuplexAuto:
        add("sides", portrait ? "two-sided-long-edge" : "two-sided-short-edge");
        break;
    case QPrinter::DuplexLongSide:
        add("sides", "two-sided-long-edge");
        break;
    case QPrinter::DuplexShortSide:
        add("sides", "two-sided-short-edge");
        break;
    }
    if (!portrait)
        add("landscape", "");
    // The page is painted in colour; the printer makes it grey.
    if (printer.colorMode() == QPrinter::GrayScale)
        add("print-color-mode", "monochrome");
    if (QPrintEngine* engine = printer.printEngine()) {
        const QStringList own = engine->property(kPrinterOptions).toStringList();
        for (qsizetype i = 0; i + 1 < own.size(); i += 2)
            add(own[i].toUtf8(), own[i + 1].toUtf8());
    }
    return options;
}

} // namespace

CPrintJob::CPrintJob(QPrinter& printer) : m_printer(printer) {}

CPrintJob::~CPrintJob()
{
    if (m_painter.isActive())
        m_painter.end();
}

QPainter* CPrintJob::Begin()
{
    m_printerName = m_printer.outputFormat() == QPrinter::NativeFormat ? m_printer.printerName() : QString();
    QPaintDevice* device = &m_printer;
    if (!m_printerName.isEmpty()) {
        if (std::optional<QString> refusal = PrintSystem().JobStarting(m_printerName)) {
            Fail(refusal);
            return nullptr;
        }
        m_folder = std::make_shared<QTemporaryDir>();
        if (!m_folder->isValid()) {
            Fail(std::nullopt);
            return nullptr;
        }
        m_pages = std::make_unique<QPdfWriter>(m_folder->filePath(kJobFile));
        m_pages->setPageLayout(m_printer.pageLayout());
        m_pages->setResolution(m_printer.resolution());
        m_pages->setTitle(m_printer.docName());
        m_pages->setCreator(m_printer.creator());
        device = m_pages.get();
    }
    if (!m_painter.begin(device)) {
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
    m_pages.reset();   // the file whole
    const PrintJobFile job{m_printerName, m_printer.docName(), m_folder, m_folder->filePath(kJobFile),
                           JobOptions(m_printer)};
    if (std::optional<QString> refusal = PrintSystem().HandOver(job))
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
