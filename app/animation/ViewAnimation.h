#pragma once
// A view's living wallpaper: View > Animate plays the document's loop live
// (frames from a worker thread, painted at the view's zoom, tiled as
// always; stopping shows the still tile again), and File > Export
// Animation... writes it to a file on a worker thread with its progress in
// the status bar and a Cancel button beside it. The loop's settings
// (keyframes, seed, length, frames a second, size) belong to the view, not
// to the document: the ".wpp" format does not change.

#include "AnimationPlayer.h"

#include "output/animation/AnimationExport.h"
#include "output/animation/AnimationExportDialog.h"
#include "output/living/LivingStarter.h"

#include <QImage>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

class QPushButton;

namespace quorrel::app {

class CQuorrelView;

class CViewAnimation final : public QObject {
    Q_OBJECT
public:
    explicit CViewAnimation(CQuorrelView& view);
    ~CViewAnimation() override;

    // View > Animate.
    void Toggle();
    bool IsPlaying() const { return m_player.IsPlaying(); }
    // The frame on show while playing (null before the first one).
    const QImage& Frame() const { return m_frame; }
    uint64_t FramesShown() const { return m_player.FramesShown(); }
    // The document changed: a running play starts again with it.
    void DocumentChanged();

    // File > Export Animation...
    void Export();
    bool IsExporting() const { return m_exportWorker.joinable(); }
    void CancelExport() { m_cancel = true; }
    // How the last export ended, and why when it failed.
    std::optional<output::animation::ExportOutcome> LastOutcome() const { return m_lastOutcome; }

    // File > Set As Living Wallpaper (and the Export Animation dialog's
    // button): the loop with the view's settings as the desktop's moving
    // wallpaper; the status bar names the desktop and the way used.
    void SetAsLivingWallpaper();
    bool IsSettingLiving() const { return m_starter != nullptr; }
    // Edit > Desktop Rotation...: a living wallpaper set up is shown first,
    // with the offer to stop it.
    static void OfferToStopLiving();

    // The loop's settings, kept with the view.
    const output::animation::CAnimationExportChoice& Settings() const { return m_settings; }
    uint32_t Seed() const { return m_seed; }

    // Answers the export dialog instead of showing it (tests); nothing: the
    // dialog is shown.
    using ExportChooser = std::function<std::optional<output::animation::CAnimationExportChoice>(
        const output::animation::CAnimationExportChoice& offered)>;
    static void SetExportChooser(ExportChooser chooser);

private:
    // The loop of the document as it is now: keyframe 1 its own tile, the
    // others generations with the view's seeds.
    std::shared_ptr<const render::animation::CAnimationLoop> MakeLoop(double seconds, uint32_t fps,
                                                                      uint32_t keyframes, QString& error) const;
    // Plays the document's loop with the view's settings, from the start.
    void Play();
    void ExportFinished(output::animation::ExportOutcome outcome, const QString& error);

    CQuorrelView& m_view;
    CAnimationPlayer m_player;
    QImage m_frame;
    output::animation::CAnimationExportChoice m_settings;
    // While a living wallpaper is being set up.
    std::unique_ptr<output::living::CDesktopLiving> m_living;
    std::unique_ptr<output::rotation::CDesktopRotation> m_rotation;
    std::unique_ptr<output::living::CLivingStarter> m_starter;
    std::shared_ptr<const render::animation::CAnimationLoop> m_livingLoop;
    uint32_t m_seed;
    std::thread m_exportWorker;
    std::atomic<bool> m_cancel = false;
    QPointer<QPushButton> m_cancelButton;
    std::optional<output::animation::ExportOutcome> m_lastOutcome;
};

} // namespace quorrel::app
