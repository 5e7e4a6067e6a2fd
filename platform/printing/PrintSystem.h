#pragma once
// What printing asks of the machine's print system: which printers there
// are, and whether a job handed to a printer was taken. The real one talks
// to the CUPS server; tests install their own.

#include <QString>
#include <QStringList>

#include <optional>

namespace quorrel::platform {

class IPrintSystem {
public:
    virtual ~IPrintSystem() = default;

    // The printers a job can go to now, and the system's default (empty
    // when there is none).
    virtual QStringList PrinterNames() const = 0;
    virtual QString DefaultPrinter() const = 0;

    // Right before a job is painted for `printer`: why it cannot go there,
    // or nothing when it can.
    virtual std::optional<QString> JobStarting(const QString& printer) = 0;
    // Right after the job was handed over: why the printer did not take it,
    // or nothing when it did.
    virtual std::optional<QString> JobHandedOver(const QString& printer) = 0;
};

// The print system in use: the machine's, unless a test installed another.
IPrintSystem& PrintSystem();
// Installs `system` (kept by the caller); nullptr restores the machine's.
void SetPrintSystem(IPrintSystem* system);

} // namespace quorrel::platform
