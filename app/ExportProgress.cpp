#include "ExportProgress.h"

#include "ModalScope.h"

#include "platform/CancelButton.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>

#include <thread>

namespace quorrel::app {

namespace {
int g_nShowDelay = CExportProgress::kShowDelayMs;
}

void CExportProgress::SetShowDelay(int milliseconds) { g_nShowDelay = milliseconds; }

uint32_t CExportProgress::Run(QWidget* parent, const QString& label, const Job& job,
                              const std::function<void(int)>& shown)
{
    const CModalScope modal;   // no timer tick changes the tile meanwhile
    std::atomic<bool> cancel{false};
    QProgressDialog dialog(label, QCoreApplication::translate("ExportProgress", "Cancel"), 0, 100, parent);
    dialog.setWindowTitle(QStringLiteral("Quorrel"));
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), &dialog);
    platform::GiveCancelIcon(cancelButton);
    dialog.setCancelButton(cancelButton);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(g_nShowDelay);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&cancel, &dialog] {
        cancel = true;
        dialog.setLabelText(QCoreApplication::translate("ExportProgress", "Cancelling..."));
    });

    bool finished = false;
    // Declared last, so it goes first: reports still queued for it then are dropped.
    QObject receiver;
    uint32_t status = 0;
    std::thread worker([&] {
        status = job(
            [&receiver, &dialog, &shown](int percent) {
                QMetaObject::invokeMethod(
                    &receiver,
                    [&dialog, &shown, percent] {
                        if (!dialog.wasCanceled())
                            dialog.setValue(percent);
                        if (shown)
                            shown(percent);
                    },
                    Qt::QueuedConnection);
            },
            cancel);
        QMetaObject::invokeMethod(&receiver, [&finished] { finished = true; }, Qt::QueuedConnection);
    });
    // Until the dialog shows (and blocks the window), keys and clicks wait:
    // no command may change or close the document the job reads.
    while (!finished) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        (dialog.isVisible() ? QEventLoop::AllEvents
                                                            : QEventLoop::ExcludeUserInputEvents));
    }
    worker.join();
    return status;
}

} // namespace quorrel::app
