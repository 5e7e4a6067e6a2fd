#pragma once
// One print job from start to the printer's answer. Every way it can fail
// is reported to the user: "Could not start print job.", followed by the
// printer's name and its reason where the print system gives one.
//
// A job for a printer is painted into a PDF file of the printer's page
// layout and resolution, which the print system then hands to the printer
// (each request to the server bounded, off the window's thread); a job
// into a file the user named is painted there directly.

#include <QPainter>
#include <QString>

#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;
class QTemporaryDir;

namespace quorrel::platform {

class CPrintJob final {
public:
    explicit CPrintJob(QPrinter& printer);
    ~CPrintJob();
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
    std::shared_ptr<QTemporaryDir> m_folder;   // the job's file on its way to the printer
    std::unique_ptr<QPdfWriter> m_pages;
};

} // namespace quorrel::platform
