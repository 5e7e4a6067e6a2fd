// The machine's print system: the CUPS server's printers, and its own answer
// to each job, which is handed to the server here (not by Qt's printer,
// which would wait on the server on the window's thread for as long as the
// server holds it).
//
// A server can take connections and then never answer (hung, or a stray
// listener on its port). Every request here therefore runs on a thread of
// its own, on a connection whose waits end at a deadline five seconds after
// the request began, and the window's thread waits no longer than that.

#include "PrintSystem.h"

#include "BoundedCall.h"

#include <cups/cups.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <mutex>

namespace quorrel::platform {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kAnswerTime{5000};
// How often a wait on the server looks at the deadline.
constexpr double kWaitSliceSeconds = 0.2;

// The server the CUPS library reaches from this thread, as the user would
// write it: "host:port", "[v6-address]:port" or the socket's path.
QString ServerName()
{
    const QString host = QString::fromLocal8Bit(cupsServer());
    if (host.startsWith(u'/'))
        return host;
    const int port = ippPort();
    return (host.contains(u':') ? QStringLiteral("[%1]:%2") : QStringLiteral("%1:%2")).arg(host).arg(port);
}

// A connection to the server whose every wait ends at `end`.
class CServerConnection final {
public:
    explicit CServerConnection(Clock::time_point end) : m_end(end)
    {
        const char* host = cupsServer();   // first: it also settles the port
        const int port = ippPort();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_end - Clock::now());
        errno = 0;
        m_http = httpConnect2(host, port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              std::max<int>(1, int(left.count())), nullptr);
        if (!m_http) {
            m_expired = errno == ETIMEDOUT || Clock::now() >= m_end;
            return;
        }
        httpSetTimeout(m_http, kWaitSliceSeconds, &CServerConnection::KeepWaiting, this);
    }
    ~CServerConnection()
    {
        if (m_http)
            httpClose(m_http);
    }
    CServerConnection(const CServerConnection&) = delete;
    CServerConnection& operator=(const CServerConnection&) = delete;

    http_t* Http() const { return m_http; }
    // True once the server let the deadline pass (connecting or answering).
    bool Expired() const { return m_expired; }

private:
    static int KeepWaiting(http_t*, void* data)
    {
        auto* self = static_cast<CServerConnection*>(data);
        if (Clock::now() < self->m_end)
            return 1;
        self->m_expired = true;
        return 0;
    }

    Clock::time_point m_end;
    http_t* m_http = nullptr;
    bool m_expired = false;
};

// The last CUPS request's refusal on this thread, in words.
QString LastRefusal()
{
    const QString text = QString::fromUtf8(cupsLastErrorString());
    if (cupsLastError() == IPP_STATUS_ERROR_INTERNAL || cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        return QStringLiteral("the print server cannot be reached (%1).").arg(text);
    return text;
}

// The server's name, told by the thread that asks it: the CUPS library
// keeps its settings per thread, read afresh by each new one.
class CServerNameSlot final {
public:
    void Set(const QString& name)
    {
        std::lock_guard lock(m_mutex);
        m_name = name;
    }
    QString Get() const
    {
        std::lock_guard lock(m_mutex);
        return m_name;
    }

private:
    mutable std::mutex m_mutex;
    QString m_name;
};
using NameSlot = std::shared_ptr<CServerNameSlot>;

PrintersNow AskPrinters(const NameSlot& name)
{
    name->Set(ServerName());
    PrintersNow now;
    CServerConnection connection(Clock::now() + kAnswerTime);
    if (connection.Http()) {
        cups_dest_t* dests = nullptr;
        const int count = cupsGetDests2(connection.Http(), &dests);
        for (int i = 0; i < count; ++i) {
            QString printer = QString::fromLocal8Bit(dests[i].name);
            if (dests[i].instance)
                printer += u'/' + QString::fromLocal8Bit(dests[i].instance);
            now.names << printer;
            if (dests[i].is_default)
                now.defaultPrinter = printer;
        }
        cupsFreeDests(count, dests);
    }
    if (connection.Expired()) {
        now.names.clear();
        now.defaultPrinter.clear();
        now.silentServer = name->Get();
    }
    return now;
}

std::optional<QString> AskForPrinter(const QByteArray& printer, const NameSlot& name)
{
    name->Set(ServerName());
    CServerConnection connection(Clock::now() + kAnswerTime);
    if (!connection.Http())
        return connection.Expired() ? ServerSilenceReason(name->Get())
                                    : QStringLiteral("the print server cannot be reached.");
    // Asking for the printer also leaves a fresh status behind, so an
    // earlier request's answer is never taken for this job's.
    cups_dest_t* dest = cupsGetNamedDest(connection.Http(), printer.constData(), nullptr);
    std::optional<QString> refusal;
    if (connection.Expired())
        refusal = ServerSilenceReason(name->Get());
    else if (!dest)
        refusal = LastRefusal();
    cupsFreeDests(dest ? 1 : 0, dest);
    return refusal;
}

std::optional<QString> HandOverJob(const PrintJobFile& job, const NameSlot& name)
{
    name->Set(ServerName());
    CServerConnection connection(Clock::now() + kAnswerTime);
    if (!connection.Http())
        return connection.Expired() ? ServerSilenceReason(name->Get())
                                    : QStringLiteral("the print server cannot be reached.");
    cups_option_t* options = nullptr;
    int count = 0;
    for (const auto& [option, value] : job.options)
        count = cupsAddOption(option.constData(), value.constData(), count, &options);
    // The server knows the queue; an instance ("queue/instance") only names
    // the options chosen for it, which the job carries.
    const QByteArray queue = job.printer.section(u'/', 0, 0).toLocal8Bit();
    const int id = cupsPrintFile2(connection.Http(), queue.constData(), job.file.toLocal8Bit().constData(),
                                  job.title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (connection.Expired())
        return ServerSilenceReason(name->Get());
    if (id == 0)
        return LastRefusal();
    return std::nullopt;
}

// The server's name when its asker did not even get to say it.
QString NameOf(const NameSlot& name)
{
    const QString told = name->Get();
    return told.isEmpty() ? QString::fromLocal8Bit(qgetenv("CUPS_SERVER")) : told;
}

class CCupsPrintSystem final : public IPrintSystem {
public:
    PrintersNow Printers() override
    {
        auto name = std::make_shared<CServerNameSlot>();
        if (auto now = CallBounded<PrintersNow>([name] { return AskPrinters(name); }, kAnswerTime))
            return *now;
        PrintersNow silent;
        silent.silentServer = NameOf(name);
        return silent;
    }

    std::optional<QString> JobStarting(const QString& printer) override
    {
        auto name = std::make_shared<CServerNameSlot>();
        const QByteArray id = printer.toLocal8Bit();
        if (auto refusal =
                CallBounded<std::optional<QString>>([id, name] { return AskForPrinter(id, name); }, kAnswerTime))
            return *refusal;
        return ServerSilenceReason(NameOf(name));
    }

    std::optional<QString> HandOver(const PrintJobFile& job) override
    {
        auto name = std::make_shared<CServerNameSlot>();
        if (auto refusal =
                CallBounded<std::optional<QString>>([job, name] { return HandOverJob(job, name); }, kAnswerTime))
            return *refusal;
        return ServerSilenceReason(NameOf(name));
    }
};

IPrintSystem*& Installed()
{
    static IPrintSystem* installed = nullptr;
    return installed;
}

} // namespace

QString ServerSilenceMessage(const QString& server)
{
    return QStringLiteral("The print server %1 does not answer.").arg(server);
}

QString ServerSilenceReason(const QString& server)
{
    return QStringLiteral("the print server %1 does not answer.").arg(server);
}

IPrintSystem& PrintSystem()
{
    static CCupsPrintSystem machine;
    return Installed() ? *Installed() : machine;
}

void SetPrintSystem(IPrintSystem* system) { Installed() = system; }

} // namespace quorrel::platform
