// The machine's print system: the printers Qt's print support lists, and
// the CUPS server's own answer to each job. Qt hands the finished page to
// the server when the painter ends and keeps the server's answer to itself;
// the answer stays behind as the thread's last CUPS status, read here.

#include "PrintSystem.h"

#include <QPrinterInfo>

#include <cups/cups.h>

namespace quorrel::platform {

namespace {

constexpr int kConnectTimeoutMs = 5000;

// The last CUPS request's refusal in words.
QString LastRefusal()
{
    const QString text = QString::fromUtf8(cupsLastErrorString());
    if (cupsLastError() == IPP_STATUS_ERROR_INTERNAL || cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        return QStringLiteral("the print server cannot be reached (%1).").arg(text);
    return text;
}

class CCupsPrintSystem final : public IPrintSystem {
public:
    QStringList PrinterNames() const override { return QPrinterInfo::availablePrinterNames(); }
    QString DefaultPrinter() const override { return QPrinterInfo::defaultPrinterName(); }

    std::optional<QString> JobStarting(const QString& printer) override
    {
        // The server first, waiting at most five seconds for it.
        http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                    kConnectTimeoutMs, nullptr);
        if (!http)
            return QStringLiteral("the print server cannot be reached.");
        // Asking for the printer also leaves a fresh status behind, so an
        // earlier request's answer is never taken for this job's.
        cups_dest_t* dest = cupsGetNamedDest(http, printer.toLocal8Bit().constData(), nullptr);
        std::optional<QString> refusal;
        if (!dest)
            refusal = LastRefusal();
        cupsFreeDests(dest ? 1 : 0, dest);
        httpClose(http);
        return refusal;
    }

    std::optional<QString> JobHandedOver(const QString&) override
    {
        if (cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE)
            return LastRefusal();
        return std::nullopt;
    }
};

IPrintSystem*& Installed()
{
    static IPrintSystem* installed = nullptr;
    return installed;
}

} // namespace

IPrintSystem& PrintSystem()
{
    static CCupsPrintSystem machine;
    return Installed() ? *Installed() : machine;
}

void SetPrintSystem(IPrintSystem* system) { Installed() = system; }

} // namespace quorrel::platform
