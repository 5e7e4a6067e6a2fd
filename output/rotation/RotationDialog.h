#pragma once
// Edit > Desktop Rotation...: the source (the active document, the built-in
// defaults or a preset), the interval, the number of images, the look of the
// images (continuous colours and scale, as the view shows them; the screen's
// size where the desktop cannot tile), Start and Stop, and what is running
// now. Start and Stop drive the same desktop rotation as quorrel-render
// --rotate, in this process: the images are rendered on a worker, so the
// dialog stays responsive. A failure is shown whole in a message box.

#include "DesktopRotation.h"

#include <QDialog>
#include <QSize>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quorrel::output::rotation {

// How the view shows the tile, which the rotation's images follow.
struct CRotationLook {
    bool continuous = false;
    int scale = 1;
    QSize screen;   // the screen's size in device pixels, for desktops that cannot tile
};

// Renders one image: the tile at `look`'s scale, continuously or exactly,
// repeated to the screen's size when `filled`.
QImage RenderRotationImage(const model::CTileParams& params, const CRotationLook& look, bool filled);

// quorrel-render beside this program (installed), in the build's tools
// folder, or on PATH; empty when none is found. The timer runs it.
QString RenderToolPath();

class CRotationDialog final : public QDialog {
    Q_OBJECT
public:
    // `params`: the active document's parameter set; `title` its title.
    CRotationDialog(const model::CTileParams& params, QWidget* parent = nullptr, QString title = {},
                    CRotationLook look = {});
    ~CRotationDialog() override;

    // The rotation the dialog would start now.
    CRotationRequest Request() const;
    // What the status area shows.
    QString StatusText() const;
    bool IsRunning() const { return m_working != nullptr; }

    // For tests: the last failure shown, empty when none.
    QString LastFailure() const { return m_lastFailure; }
    // Where the failure goes: a message box unless a test takes it.
    std::function<void(const QString&)> showFailure;

public slots:
    void StartRotation();
    void StopRotation();

protected:
    void reject() override;

private:
    void Done(const QString& doing, const CRotationOutcome& outcome);
    void Refresh();

    model::CTileParams m_params;
    QString m_title;
    CRotationLook m_look;
    QComboBox* m_source = nullptr;
    QLineEdit* m_interval = nullptr;
    QSpinBox* m_count = nullptr;
    QCheckBox* m_random = nullptr;
    QCheckBox* m_continuous = nullptr;
    QSpinBox* m_scale = nullptr;
    QCheckBox* m_filled = nullptr;
    QLabel* m_intervalProblem = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
    QString m_lastFailure;
    std::unique_ptr<CDesktopRotation> m_working;   // while starting or stopping
};

} // namespace quorrel::output::rotation
