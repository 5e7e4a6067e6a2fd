#pragma once
// A long export (a screen-sized image, smoothed) runs on a worker thread
// behind a progress dialog that names what is written and has a Cancel
// button; the window stays painted meanwhile. Cancel stops the writing at
// its next piece and nothing is left of the file.

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

class QWidget;

namespace quorrel::app {

class CExportProgress final {
public:
    // The job: reports whole percentages through `progress` (from its own
    // thread) and watches `cancel`; returns a status code of output/.
    using Job = std::function<uint32_t(const std::function<void(int)>& progress, const std::atomic<bool>& cancel)>;

    // Runs `job` and returns its status once it has ended. The dialog shows
    // `label` once the job has taken longer than the show delay; `shown`
    // hears each percentage on the user-interface thread.
    static uint32_t Run(QWidget* parent, const QString& label, const Job& job, const std::function<void(int)>& shown);

    static constexpr int kShowDelayMs = 500;
    // Tests show the dialog at once.
    static void SetShowDelay(int milliseconds);
};

} // namespace quorrel::app
