#pragma once
// What printing asks of the machine's print system: which printers there
// are, and whether a printer takes a job. The real one talks
// to the CUPS server, each request bounded and off the window's thread; tests
// install their own.

#include <QString>
#include <QStringList>

#include <QByteArray>
#include <QList>

#include <memory>
#include <optional>
#include <utility>

class QTemporaryDir;

namespace quorrel::platform {

// The printers the print system offers now.
struct PrintersNow {
    QStringList names;
    QString defaultPrinter;   // empty when there is none
    // The print server's name ("host:port" or its socket) when it took the
    // connection but did not answer in time; empty when it answered or is
    // not there at all (then there are no printers).
    QString silentServer;
};

// A finished job: the pages as a PDF file, for a printer.
struct PrintJobFile {
    QString printer;   // as the print system lists it ("queue" or "queue/instance")
    QString title;
    // The folder holding `file`, kept while the print system reads it.
    std::shared_ptr<const QTemporaryDir> folder;
    QString file;
    // The job's options (paper, copies, sides, the printer's own), as name
    // and value.
    QList<std::pair<QByteArray, QByteArray>> options;
};

// "The print server NAME does not answer." (a message box of its own), and
// the same as a printer's reason for not taking a job.
QString ServerSilenceMessage(const QString& server);
QString ServerSilenceReason(const QString& server);

class IPrintSystem {
public:
    virtual ~IPrintSystem() = default;

    // The printers a job can go to now, and the system's default.
    virtual PrintersNow Printers() = 0;

    // Right before a job is painted for `printer`: why it cannot go there,
    // or nothing when it can.
    virtual std::optional<QString> JobStarting(const QString& printer) = 0;
    // Hands the finished job to its printer: why the printer did not take
    // it, or nothing when it did.
    virtual std::optional<QString> HandOver(const PrintJobFile& job) = 0;
};

// The print system in use: the machine's, unless a test installed another.
IPrintSystem& PrintSystem();
// Installs `system` (kept by the caller); nullptr restores the machine's.
void SetPrintSystem(IPrintSystem* system);

} // namespace quorrel::platform
