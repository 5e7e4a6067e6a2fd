#include "RotationDialog.h"

#include "RotationInterval.h"

#include "model/Presets.h"
#include "output/RgbImageView.h"
#include "output/TileRepeat.h"
#include "platform/presets/PresetLibrary.h"
#include "render/continuous/TileLook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace quorrel::output::rotation {

namespace {
constexpr int kDocument = -1;
constexpr int kDefaults = -2;
} // namespace

QImage RenderRotationImage(const model::CTileParams& params, const CRotationLook& look, bool filled)
{
    const uint32_t scale = uint32_t(std::clamp(look.scale, 1, 8));
    render::CRgbImage tile(params.m_nWidth * scale, params.m_nHeight * scale);
    render::RenderSettings settings;
    settings.threads = std::max(1, QThread::idealThreadCount());
    settings.width = tile.Width();
    settings.height = tile.Height();
    render::RenderTileAs(look.continuous, params, tile, settings, 1, {});
    QImage image = ImageView(tile).copy();
    if (filled && look.screen.isValid())
        image = RepeatTile(image, look.screen.width(), look.screen.height(), QImage::Format_RGB888);
    return image;
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

CRotationDialog::CRotationDialog(const model::CTileParams& params, QWidget* parent, QString title, CRotationLook look)
    : QDialog(parent)
    , m_params(params)
    , m_title(std::move(title))
    , m_look(look)
{
    setWindowTitle(tr("Desktop Rotation"));
    const CDesktopRotation here;
    QString why;
    const std::optional<EMethod> native = here.Method(false, why);
    const bool needsFill = !native && here.Method(true, why).has_value();
    const bool timer = (native ? native : here.Method(true, why)) == EMethod::SystemdTimer;

    auto* form = new QFormLayout;
    // Fields take the room the dialog is given, rather than being squashed.
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
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
    m_count->setValue(kRotationImages);
    m_count->setEnabled(!timer);
    m_count->setToolTip(timer ? QStringLiteral("This desktop has no slide show of its own: each change makes a new image")
                              : QStringLiteral("The desktop's own slide show shows this many images in turn"));
    form->addRow(QStringLiteral("&Number of images:"), m_count);
    m_random = new QCheckBox(QStringLiteral("In a &random order"), this);
    m_random->setEnabled(native && CDesktopRotation::CanShuffle(*native));
    m_random->setToolTip(m_random->isEnabled() ? QStringLiteral("The desktop's slide show picks the next image at random")
                                               : QStringLiteral("This desktop shows the images in turn"));
    form->addRow(QString(), m_random);
    m_continuous = new QCheckBox(QStringLiteral("&Continuous colours"), this);
    m_continuous->setChecked(look.continuous);
    form->addRow(QString(), m_continuous);
    m_scale = new QSpinBox(this);
    m_scale->setRange(1, 8);
    m_scale->setSuffix(QStringLiteral(" x"));
    m_scale->setValue(std::clamp(look.scale, 1, 8));
    form->addRow(QStringLiteral("Sc&ale:"), m_scale);
    m_filled = new QCheckBox(look.screen.isValid() ? QStringLiteral("&Fill the screen (%1 x %2 pixels)")
                                                         .arg(look.screen.width())
                                                         .arg(look.screen.height())
                                                   : QStringLiteral("&Fill the screen"),
                             this);
    m_filled->setChecked(needsFill && look.screen.isValid());
    m_filled->setEnabled(look.screen.isValid());
    m_filled->setToolTip(needsFill ? QStringLiteral("This desktop cannot tile: the images are made as large as the screen")
                                   : QStringLiteral("Images as large as the screen instead of one tile"));
    form->addRow(QString(), m_filled);

    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setMinimumWidth(420);
    m_status->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::MinimumExpanding);

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
    layout->addWidget(m_status, 1);
    layout->addWidget(buttons);

    showFailure = [this](const QString& line) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Desktop Rotation"), line, QMessageBox::Ok, this);
        box.setTextInteractionFlags(Qt::TextSelectableByMouse);
        box.exec();
    };
    Refresh();
}

CRotationDialog::~CRotationDialog() = default;

CRotationRequest CRotationDialog::Request() const
{
    CRotationRequest request;
    const int data = m_source->currentData().toInt();
    if (data == kDocument) {
        request.params = m_params;
        request.fromDocument = true;
        request.source = m_title.isEmpty() ? QStringLiteral("the active document") : m_title;
    } else if (data == kDefaults) {
        request.source = QStringLiteral("the built-in defaults");
    } else {
        const auto& preset = model::Presets()[std::size_t(data)];
        const QString id = QString::fromUtf8(preset.id.data(), preset.id.size());
        std::string error;
        presets::LoadPreset(preset, request.params, error);
        request.source = QStringLiteral("preset ") + id;
        request.tickSource = {QStringLiteral("--preset"), id};
    }
    QString error;
    request.intervalSeconds = ParseInterval(m_interval->text(), error).value_or(0);
    if (m_count->isEnabled())
        request.count = m_count->value();
    request.randomOrder = m_random->isEnabled() && m_random->isChecked();
    request.filled = m_filled->isEnabled() && m_filled->isChecked();
    CRotationLook look = m_look;
    look.continuous = m_continuous->isChecked();
    look.scale = m_scale->value();
    if (look.continuous)
        request.tickOptions << QStringLiteral("--continuous");
    if (look.scale != 1)
        request.tickOptions << QStringLiteral("--scale") << QString::number(look.scale);
    if (request.filled) {
        request.tickOptions << QStringLiteral("--fill")
                            << QStringLiteral("%1x%2").arg(look.screen.width()).arg(look.screen.height());
    }
    request.program = RenderToolPath();
    const bool filled = request.filled;
    request.render = [look, filled](const model::CTileParams& params) { return RenderRotationImage(params, look, filled); };
    return request;
}

QString CRotationDialog::StatusText() const
{
    const CDesktopRotation rotation;
    QString why;
    QString text = QStringLiteral("This session: %1, %2.")
                       .arg(DesktopName(rotation.Session().desktop), SessionName(rotation.Session().session));
    const auto method = rotation.Method(m_filled->isChecked(), why);
    text += method ? QStringLiteral(" It would rotate through %1.").arg(MethodName(*method))
                   : QStringLiteral(" It cannot rotate: %1.").arg(why);
    return text + u'\n' + rotation.Status();
}

void CRotationDialog::Refresh()
{
    QString error;
    const bool valid = ParseInterval(m_interval->text(), error).has_value();
    m_intervalProblem->setText(valid ? QString() : error);
    QString installedError;
    const bool installed = CDesktopRotation().Installed(installedError).has_value() || !installedError.isEmpty();
    m_start->setEnabled(!IsRunning() && valid);
    m_stop->setEnabled(!IsRunning() && installed);
    m_status->setText(IsRunning() ? QStringLiteral("Working...") : StatusText());
}

void CRotationDialog::StartRotation()
{
    if (IsRunning())
        return;
    m_lastFailure.clear();
    m_working = std::make_unique<CDesktopRotation>();
    Refresh();
    m_working->Begin(Request(), [this](const CRotationOutcome& outcome) { Done(QStringLiteral("Start"), outcome); });
}

void CRotationDialog::StopRotation()
{
    if (IsRunning())
        return;
    m_lastFailure.clear();
    m_working = std::make_unique<CDesktopRotation>();
    Refresh();
    m_working->Stop([this](const CRotationOutcome& outcome) { Done(QStringLiteral("Stop"), outcome); });
}

void CRotationDialog::Done(const QString& doing, const CRotationOutcome& outcome)
{
    // The rotation is still in its own callback: it goes once that returns.
    std::shared_ptr<CDesktopRotation> finished(m_working.release());
    QTimer::singleShot(0, this, [finished] {});
    Refresh();
    if (!outcome.Ok()) {
        CDesktopRotation here;
        m_lastFailure = RotationFailureLine(doing, here.Session(), outcome);
        showFailure(m_lastFailure);
    }
}

void CRotationDialog::reject()
{
    // Closing waits for the rotation: a half-made one would be left otherwise.
    if (!IsRunning())
        QDialog::reject();
}

} // namespace quorrel::output::rotation
