#pragma once
// Edit > Desktop Rotation...: the source (the active document, the built-in
// defaults or a preset), the interval, the number of images, Start and
// Stop, and what is running now. Start and Stop run quorrel-render --rotate
// in the background, so the desktop rotation works the same from both; its
// one-line failure is shown in a message box.

#include "DesktopRotation.h"

#include <QDialog>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quorrel::output::rotation {

// What the dialog asks for, as quorrel-render's arguments.
struct CRotationChoice {
    enum class ESource { Document, Defaults, Preset };
    ESource source = ESource::Document;
    QString document;   // with Document: the document's copy to render from
    QString preset;     // with Preset: its id
    QString interval;   // "30m"
    int count = 8;
    bool continuous = false;   // only where the tool knows --continuous
    double scale = 1.0;        // only where the tool knows --scale
};
QStringList RotationArguments(const CRotationChoice& choice);

// quorrel-render beside this program (installed), in the build's tools
// folder, or on PATH; empty when none is found.
QString RenderToolPath();

class CRotationDialog final : public QDialog {
    Q_OBJECT
public:
    // `documentWpp`: the active document's parameter set as a document.
    // `tool`: quorrel-render (by default RenderToolPath()).
    // `title`: the document's, naming the copy quorrel-render gets.
    CRotationDialog(std::vector<uint8_t> documentWpp, QWidget* parent = nullptr, QString tool = {},
                    QString title = {});
    ~CRotationDialog() override;

    CRotationChoice Choice() const;
    // What the status area shows.
    QString StatusText() const;
    bool IsRunning() const;

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
    void Run(const QStringList& arguments, const QString& doing);
    void Refresh();

    std::vector<uint8_t> m_document;
    QString m_title;
    QString m_tool;
    QTemporaryDir m_scratch;
    QComboBox* m_source = nullptr;
    QLineEdit* m_interval = nullptr;
    QSpinBox* m_count = nullptr;
    QCheckBox* m_continuous = nullptr;
    QSpinBox* m_scale = nullptr;
    QLabel* m_intervalProblem = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
    QString m_lastFailure;
    QProcess* m_process = nullptr;
    bool m_toolContinuous = false;
    bool m_toolScale = false;
};

} // namespace quorrel::output::rotation
