#pragma once
// One print job from start to the printer's answer. Every way it can fail
// is reported to the user: "Could not start print job.", followed by the
// printer's name and its reason where the print system gives one.

#include <QPainter>
#include <QString>

#include <optional>

class QPrinter;

namespace quorrel::platform {

class CPrintJob final {
public:
    explicit CPrintJob(QPrinter& printer) : m_printer(printer) {}
    CPrintJob(const CPrintJob&) = delete;
    CPrintJob& operator=(const CPrintJob&) = delete;

    // The painter on the first page, set to paint images without lossy
    // compression; nullptr (the message shown) when the job cannot start.
    QPainter* Begin();
    // Ends the job; false (the message shown) when it was lost.
    bool Finish();

private:
    bool Fail(const std::optional<QString>& reason);

    QPrinter& m_printer;
    QPainter m_painter;
    QString m_printerName;   // empty when the job goes into a file
};

} // namespace quorrel::platform
