#include "ViewAnimation.h"

#include "app/MainFrame.h"
#include "app/MainStatusBar.h"
#include "app/ModalScope.h"
#include "app/QuorrelDoc.h"
#include "app/CommandTable.h"
#include "app/QuorrelView.h"

#include "platform/CancelButton.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "render/animation/Keyframes.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>

#include <stdexcept>

namespace quorrel::app {

namespace {

CViewAnimation::ExportChooser& InjectedChooser()
{
    static CViewAnimation::ExportChooser chooser;
    return chooser;
}

} // namespace

void CViewAnimation::SetExportChooser(ExportChooser chooser) { InjectedChooser() = std::move(chooser); }

CViewAnimation::CViewAnimation(CQuorrelView& view)
    : m_view(view), m_seed(QRandomGenerator::global()->generate())
{
    connect(&m_player, &CAnimationPlayer::FrameReady, this, [this](const QImage& frame, quint64) {
        m_frame = frame;
        m_view.Invalidate();
    });
}

CViewAnimation::~CViewAnimation()
{
    m_player.Stop();
    if (m_exportWorker.joinable()) {
        m_cancel = true;
        m_exportWorker.join();   // the staged files go unwritten
    }
}

std::shared_ptr<const render::animation::CAnimationLoop> CViewAnimation::MakeLoop(double seconds, uint32_t fps,
                                                                                  uint32_t keyframes,
                                                                                  QString& error) const
{
    const CQuorrelDoc* doc = m_view.GetDocument();
    if (!doc)
        return nullptr;
    std::string reason;
    const auto timing = render::animation::CLoopTiming::FromSeconds(seconds, fps, reason);
    if (!timing) {
        error = QString::fromStdString(reason);
        return nullptr;
    }
    try {
        return std::make_shared<const render::animation::CAnimationLoop>(
            render::animation::GenerateKeyframes(doc->m_params, keyframes, m_seed, true), *timing);
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
        return nullptr;
    }
}

void CViewAnimation::Toggle()
{
    if (m_player.IsPlaying()) {
        m_player.Stop();
        m_frame = QImage();
        m_view.Invalidate();
        return;
    }
    Play();
}

void CViewAnimation::DocumentChanged()
{
    if (m_player.IsPlaying())
        Play();
}

void CViewAnimation::Play()
{
    QString error;
    if (const auto loop = MakeLoop(m_settings.seconds, m_settings.fps, m_settings.keyframes, error))
        m_player.Start(loop);
}

void CViewAnimation::Export()
{
    if (IsExporting())
        return;
    const CQuorrelDoc* doc = m_view.GetDocument();
    if (!doc)
        return;
    output::animation::CAnimationExportChoice offered = m_settings;
    // The folder last used by any file dialog of this run; the name this
    // view wrote last, else one from the document's title.
    const QString folder =
        platform::StartFolder(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    if (offered.path.isEmpty()) {
        QString title = doc->GetTitle();
        title.remove(QLatin1String(".wpp"));
        offered.path = QDir(folder).filePath(title + QLatin1String(".webp"));
    } else {
        offered.path = QDir(folder).filePath(QFileInfo(offered.path).fileName());
    }
    std::optional<output::animation::CAnimationExportChoice> choice;
    if (InjectedChooser()) {
        choice = InjectedChooser()(offered);
    } else {
        const CModalScope modal;
        output::animation::CAnimationExportDialog dialog(
            &m_view, offered, QSize(int(doc->m_params.m_nWidth), int(doc->m_params.m_nHeight)), m_view.ScreenSize());
        if (dialog.exec() == QDialog::Accepted)
            choice = dialog.Choice();
    }
    if (!choice)
        return;
    m_settings = *choice;
    if (choice->living) {
        m_settings.living = false;
        SetAsLivingWallpaper();
        return;
    }
    platform::RememberFolderOf(choice->path);

    QString error;
    const auto loop = MakeLoop(choice->seconds, choice->fps, choice->keyframes, error);
    if (!loop) {
        ExportFinished(output::animation::ExportOutcome::Failed, error);
        return;
    }
    output::animation::FrameLayout layout;
    layout.tileWidth = doc->m_params.m_nWidth * uint32_t(choice->scale);
    layout.tileHeight = doc->m_params.m_nHeight * uint32_t(choice->scale);
    layout.fill = choice->fill;

    // The Cancel button beside the progress bar while the export runs.
    CMainFrame* frame = m_view.MainFrameWindow();
    if (frame) {
        m_cancelButton = new QPushButton(tr("Cancel Export"));
        m_cancelButton->setObjectName(QStringLiteral("cancelAnimationExport"));
        platform::GiveCancelIcon(m_cancelButton);
        connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelExport(); });
        frame->StatusBar()->addPermanentWidget(m_cancelButton);
        frame->SetProgress(0);
    }
    m_cancel = false;
    const std::string path = choice->path.toStdString();
    output::animation::AnimationSettings settings;
    settings.quality = choice->EncoderQuality();
    settings.lossless = choice->Lossless();
    m_exportWorker = std::thread([this, loop, layout, path, settings] {
        std::string reason;
        const output::animation::ExportOutcome outcome = output::animation::ExportAnimation(
            *loop, layout, path, settings, reason,
            [this](int percent) {
                QMetaObject::invokeMethod(
                    this,
                    [this, percent] {
                        if (CMainFrame* frame = m_view.MainFrameWindow())
                            frame->SetProgress(std::min(percent, 99));
                    },
                    Qt::QueuedConnection);
            },
            &m_cancel);
        QMetaObject::invokeMethod(
            this, [this, outcome, reason] { ExportFinished(outcome, QString::fromStdString(reason)); },
            Qt::QueuedConnection);
    });
}

void CViewAnimation::ExportFinished(output::animation::ExportOutcome outcome, const QString& error)
{
    if (m_exportWorker.joinable())
        m_exportWorker.join();
    m_lastOutcome = outcome;
    delete m_cancelButton;
    if (CMainFrame* frame = m_view.MainFrameWindow())
        frame->SetProgress(0);
    if (outcome == output::animation::ExportOutcome::Failed) {
        const CModalScope modal;
        platform::AfxMessageBox(tr("The animation could not be exported.\n\n%1").arg(error), platform::MsgButtons::Ok,
                                platform::MsgIcon::Warning, QStringLiteral("Quorrel"));
    }
}

} // namespace quorrel::app

namespace quorrel::app {

void CQuorrelView::AddAnimationCommands()
{
    m_animation = std::make_unique<CViewAnimation>(*this);
    OnCommand(ID_VIEW_ANIMATE, [this] { m_animation->Toggle(); });
    OnUpdateCommand(ID_VIEW_ANIMATE, [this](platform::CCmdUI& ui) {
        if (!m_bRendered)
            ui.Disable(kNoTileYet);
        ui.SetCheck(m_animation->IsPlaying());
    });
    OnCommand(ID_EXPORT_ANIMATION, [this] { m_animation->Export(); });
    OnCommand(ID_SET_AS_LIVING_WALLPAPER, [this] { m_animation->SetAsLivingWallpaper(); });
    OnUpdateCommand(ID_SET_AS_LIVING_WALLPAPER, [this](platform::CCmdUI& ui) {
        if (!m_bRendered)
            ui.Disable(kNoTileYet);
        else
            ui.Enable(!m_animation->IsSettingLiving());
    });
    OnUpdateCommand(ID_EXPORT_ANIMATION, [this](platform::CCmdUI& ui) {
        if (!m_bRendered)
            ui.Disable(kNoTileYet);
        else
            ui.Enable(!m_animation->IsExporting());
    });
}

} // namespace quorrel::app
