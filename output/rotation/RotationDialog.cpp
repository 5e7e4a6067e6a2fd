#include "RotationDialog.h"

#include "RotationInterval.h"

#include "model/Presets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace quorrel::output::rotation {

namespace {
constexpr int kDocument = -1;
constexpr int kDefaults = -2;
constexpr int kRunMs = 120000;   // rendering the images and the desktop's answer
} // namespace

QStringList RotationArguments(const CRotationChoice& choice)
{
    QStringList arguments;
    if (choice.source == CRotationChoice::ESource::Document)
        arguments << choice.document;
    else if (choice.source == CRotationChoice::ESource::Preset)
        arguments << QStringLiteral("--preset") << choice.preset;
    arguments << QStringLiteral("--rotate") << choice.interval << QStringLiteral("--count")
              << QString::number(choice.count);
    if (choice.continuous)
        arguments << QStringLiteral("--continuous");
    if (choice.scale != 1.0)
        arguments << QStringLiteral("--scale") << QString::number(choice.scale, 'g', 6);
    return arguments;
}

QString RenderToolPath()
{
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {here.filePath(QStringLiteral("quorrel-render")), here.filePath(QStringLiteral("../tools/quorrel-render"))}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return info.canonicalFilePath();
    }
    return QStandardPaths::findExecutable(QStringLiteral("quorrel-render"));
}

CRotationDialog::CRotationDialog(std::vector<uint8_t> documentWpp, QWidget* parent, QString tool, QString title)
    : QDialog(parent)
    , m_document(std::move(documentWpp))
    , m_title(std::move(title))
    , m_tool(tool.isEmpty() ? RenderToolPath() : std::move(tool))
{
    setWindowTitle(tr("Desktop Rotation"));
    // Options another build of the tool may have: offered only where it has them.
    if (!m_tool.isEmpty()) {
        QProcess help;
        help.start(m_tool, {QStringLiteral("--help")});
        if (help.waitForFinished(3000)) {
            const QByteArray text = help.readAllStandardOutput();
            m_toolContinuous = text.contains("--continuous");
            m_toolScale = text.contains("--scale");
        } else {
            help.kill();
            help.waitForFinished(1000);
        }
    }

    auto* form = new QFormLayout;
    m_source = new QComboBox(this);
    m_source->addItem(tr("The active document"), kDocument);
    m_source->addItem(tr("The built-in defaults"), kDefaults);
    const auto presets = model::Presets();
    for (std::size_t i = 0; i < presets.size(); ++i)
        m_source->addItem(tr("Preset: ") + QString::fromUtf8(presets[i].name.data(), presets[i].name.size()),
                          int(i));
    form->addRow(tr("&Source:"), m_source);
    m_interval = new QLineEdit(QStringLiteral("30m"), this);
    m_interval->setToolTip(tr("A number with a unit: 90s, 30m, 2h, 1d or 1h30m"));
    form->addRow(tr("&Interval:"), m_interval);
    m_intervalProblem = new QLabel(this);
    m_intervalProblem->setWordWrap(true);
    form->addRow(QString(), m_intervalProblem);
    m_count = new QSpinBox(this);
    m_count->setRange(1, 100);
    m_count->setValue(8);
    m_count->setToolTip(tr("Desktops with a slide show of their own (GNOME, Cinnamon, MATE, XFCE, "
                                       "Plasma) show this many images in turn; elsewhere each change makes a new one"));
    form->addRow(tr("&Number of images:"), m_count);
    m_continuous = new QCheckBox(tr("&Continuous"), this);
    m_scale = new QSpinBox(this);
    m_scale->setRange(1, 8);
    m_scale->setSuffix(QStringLiteral(" x"));
    form->addRow(QString(), m_continuous);
    form->addRow(tr("Sc&ale:"), m_scale);
    const QString missing = tr("This quorrel-render does not have %1.");
    m_continuous->setEnabled(m_toolContinuous);
    m_scale->setEnabled(m_toolScale);
    if (!m_toolContinuous)
        m_continuous->setToolTip(missing.arg(QStringLiteral("--continuous")));
    if (!m_toolScale)
        m_scale->setToolTip(missing.arg(QStringLiteral("--scale")));

    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setMinimumWidth(420);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_start = buttons->addButton(tr("S&tart"), QDialogButtonBox::ActionRole);
    m_stop = buttons->addButton(tr("St&op"), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRotationDialog::reject);
    connect(m_start, &QPushButton::clicked, this, &CRotationDialog::StartRotation);
    connect(m_stop, &QPushButton::clicked, this, &CRotationDialog::StopRotation);
    connect(m_interval, &QLineEdit::textChanged, this, &CRotationDialog::Refresh);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("<b>Now</b>"), this));
    layout->addWidget(m_status);
    layout->addWidget(buttons);

    showFailure = [this](const QString& line) {
        QMessageBox::warning(this, QStringLiteral("Desktop Rotation"), line);
    };
    Refresh();
}

CRotationDialog::~CRotationDialog()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}

CRotationChoice CRotationDialog::Choice() const
{
    CRotationChoice choice;
    const int data = m_source->currentData().toInt();
    if (data == kDocument) {
        choice.source = CRotationChoice::ESource::Document;
        // Named after the document (its title, without characters a file name cannot hold).
        QString name = QFileInfo(m_title).completeBaseName();
        name.remove(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]")));
        choice.document = m_scratch.filePath((name.isEmpty() ? QStringLiteral("document") : name) + QStringLiteral(".wpp"));
    } else if (data == kDefaults) {
        choice.source = CRotationChoice::ESource::Defaults;
    } else {
        choice.source = CRotationChoice::ESource::Preset;
        const auto& preset = model::Presets()[std::size_t(data)];
        choice.preset = QString::fromUtf8(preset.id.data(), preset.id.size());
    }
    choice.interval = m_interval->text().trimmed();
    choice.count = m_count->value();
    choice.continuous = m_toolContinuous && m_continuous->isChecked();
    choice.scale = m_toolScale ? m_scale->value() : 1.0;
    return choice;
}

QString CRotationDialog::StatusText() const
{
    const CDesktopRotation rotation;
    QString why;
    QString text = QStringLiteral("This session: %1, %2.")
                       .arg(DesktopName(rotation.Session().desktop), SessionName(rotation.Session().session));
    const auto method = rotation.Method(false, why);
    text += method ? QStringLiteral(" It would rotate through %1.").arg(MethodName(*method))
                   : QStringLiteral(" It cannot rotate: %1.").arg(why);
    return text + u'\n' + rotation.Status();
}

bool CRotationDialog::IsRunning() const { return m_process != nullptr; }

void CRotationDialog::Refresh()
{
    QString error;
    const bool valid = ParseInterval(m_interval->text(), error).has_value();
    m_intervalProblem->setText(valid ? QString() : error);
    QString installedError;
    const bool installed = CDesktopRotation().Installed(installedError).has_value() || !installedError.isEmpty();
    m_start->setEnabled(!IsRunning() && valid && !m_tool.isEmpty());
    m_stop->setEnabled(!IsRunning() && installed && !m_tool.isEmpty());
    m_status->setText(IsRunning() ? QStringLiteral("Working...")
                      : m_tool.isEmpty()
                          ? QStringLiteral("quorrel-render was not found beside the editor or on PATH.")
                          : StatusText());
}

void CRotationDialog::StartRotation()
{
    const CRotationChoice choice = Choice();
    if (choice.source == CRotationChoice::ESource::Document) {
        QFile file(choice.document);
        if (!m_scratch.isValid() || !file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(m_document.data()), qint64(m_document.size())) !=
                qint64(m_document.size())) {
            m_lastFailure = QStringLiteral("The document could not be handed to quorrel-render: %1")
                                .arg(file.errorString());
            showFailure(m_lastFailure);
            return;
        }
    }
    Run(RotationArguments(choice), QStringLiteral("Start"));
}

void CRotationDialog::StopRotation()
{
    Run({QStringLiteral("--rotate"), QStringLiteral("off")}, QStringLiteral("Stop"));
}

void CRotationDialog::Run(const QStringList& arguments, const QString& doing)
{
    if (m_process || m_tool.isEmpty())
        return;
    m_lastFailure.clear();
    m_process = new QProcess(this);
    auto* timer = new QTimer(m_process);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, m_process, [process = m_process] { process->kill(); });
    connect(m_process, &QProcess::finished, this, [this, doing, timer](int code, QProcess::ExitStatus status) {
        timer->stop();
        const QString error = QString::fromLocal8Bit(m_process->readAllStandardError()).trimmed();
        m_process->deleteLater();
        m_process = nullptr;
        Refresh();
        if (status != QProcess::NormalExit || code != 0) {
            m_lastFailure = QStringLiteral("%1 failed: %2")
                                .arg(doing, error.isEmpty() ? QStringLiteral("quorrel-render ended without a reason "
                                                                             "(stopped after %1 s, or crashed)")
                                                                  .arg(kRunMs / 1000)
                                                            : error.section(u'\n', -1));
            showFailure(m_lastFailure);
        }
    });
    connect(m_process, &QProcess::errorOccurred, this, [this, doing](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart || !m_process)
            return;
        m_process->deleteLater();
        m_process = nullptr;
        Refresh();
        m_lastFailure = QStringLiteral("%1 failed: %2 could not be started").arg(doing, m_tool);
        showFailure(m_lastFailure);
    });
    m_process->start(m_tool, arguments + QStringList{QStringLiteral("--quiet")});
    timer->start(kRunMs);
    Refresh();
}

void CRotationDialog::reject()
{
    // Closing waits for the tool: a half-made rotation would be left otherwise.
    if (!IsRunning())
        QDialog::reject();
}

} // namespace quorrel::output::rotation
