#include "PrinterChoice.h"

#include "PrintSystem.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QPrinter>

namespace quorrel::platform {

namespace {
const QString kUseFileInstead =
    QStringLiteral(QT_TRANSLATE_NOOP("PrinterChoice", "Nothing was printed. To print into a PDF file, choose \"Print to File (PDF)\" in Print Setup."));
QString UseFileInstead() { return QCoreApplication::translate("PrinterChoice", kUseFileInstead.toUtf8().constData()); }
}

PrinterChoice ChoosePrinter(const QString& chosen, const QStringList& available, const QString& defaultPrinter)
{
    if (!chosen.isEmpty() && available.contains(chosen))
        return {chosen, {}};
    const QString other = available.contains(defaultPrinter) ? defaultPrinter : available.value(0);
    if (chosen.isEmpty()) {
        if (!other.isEmpty())
            return {other, {}};
        return {{}, QCoreApplication::translate("PrinterChoice", "There is no printer.\n%1").arg(UseFileInstead())};
    }
    if (other.isEmpty())
        return {{},
                QCoreApplication::translate("PrinterChoice", "The printer \"%1\" is no longer available, and there is no other printer.\n%2")
                    .arg(chosen, UseFileInstead())};
    return {other, QCoreApplication::translate("PrinterChoice", "The printer \"%1\" is no longer available.\n\"%2\" is used instead.")
                       .arg(chosen, other)};
}

bool PreparePrinter(QPrinter& printer)
{
    // A file the user named is what they asked for.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return true;
    const QString chosen = printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : QString();
    const PrintersNow printers = PrintSystem().Printers();
    if (!printers.silentServer.isEmpty()) {
        AfxMessageBox(ServerSilenceMessage(printers.silentServer));
        return false;
    }
    const PrinterChoice choice = ChoosePrinter(chosen, printers.names, printers.defaultPrinter);
    if (!choice.message.isEmpty())
        AfxMessageBox(choice.message, MsgButtons::Ok, choice.printer.isEmpty() ? MsgIcon::Warning : MsgIcon::Information);
    if (choice.printer.isEmpty())
        return false;
    if (choice.printer != chosen)
        printer.setPrinterName(choice.printer);
    return true;
}

bool PrintServerAnswers()
{
    const PrintersNow printers = PrintSystem().Printers();
    if (printers.silentServer.isEmpty())
        return true;
    AfxMessageBox(ServerSilenceMessage(printers.silentServer));
    return false;
}

} // namespace quorrel::platform
