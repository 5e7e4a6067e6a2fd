#include "AnimationExportDialog.h"

#include "render/animation/Keyframes.h"
#include "render/animation/LoopTiming.h"

#include <QComboBox>

#include <algorithm>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace quorrel::output::animation {

namespace {

constexpr const char* kExtensions[] = {".webp", ".gif", ".webm", ".png"};

int FormatOfPath(const QString& path)
{
    for (int i = 0; i < 4; ++i)
        if (path.endsWith(QLatin1String(kExtensions[i]), Qt::CaseInsensitive))
            return i;
    return 0;
}

} // namespace

QString CAnimationExportDialog::PathForFormat(const QString& path, int index)
{
    QString result = path;
    const int current = FormatOfPath(path);
    if (result.endsWith(QLatin1String(kExtensions[current]), Qt::CaseInsensitive))
        result.chop(int(qstrlen(kExtensions[current])));
    if (index == 3 && !result.contains(QLatin1String("{n}")))
        result += QLatin1String("-{n}");
    if (index != 3)
        result.remove(QLatin1String("-{n}"));
    return result + QLatin1String(kExtensions[index]);
}

CAnimationExportDialog::CAnimationExportDialog(QWidget* parent, const CAnimationExportChoice& initial, QSize tile,
                                               QSize screen)
    : QDialog(parent)
{
    setWindowTitle(tr("Export Animation"));
    auto* form = new QFormLayout;

    m_format = new QComboBox;
    m_format->addItems({tr("Animated WebP (*.webp)"), tr("GIF, looping (*.gif)"), tr("WebM video, VP9 (*.webm)"),
                        tr("PNG frames (*-{n}.png)")});
    m_format->setCurrentIndex(FormatOfPath(initial.path));
    form->addRow(tr("&Format:"), m_format);

    m_path = new QLineEdit(initial.path);
    // Wide enough for a usual path in full; longer ones scroll.
    const QFontMetrics metrics = m_path->fontMetrics();
    const int character = metrics.averageCharWidth();
    m_path->setMinimumWidth(std::clamp(metrics.horizontalAdvance(initial.path) + 2 * character + 16, 40 * character,
                                       72 * character));
    auto* browse = new QPushButton(tr("&Browse..."));
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(browse);
    // A row of a layout gets no buddy of its own: the label names the field.
    auto* pathLabel = new QLabel(tr("F&ile:"));
    pathLabel->setBuddy(m_path);
    form->addRow(pathLabel, pathRow);
    connect(browse, &QPushButton::clicked, this, &CAnimationExportDialog::Browse);
    connect(m_format, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_path->setText(PathForFormat(m_path->text(), index)); });

    m_seconds = new QDoubleSpinBox;
    m_seconds->setRange(render::animation::kMinSeconds, render::animation::kMaxSeconds);
    m_seconds->setDecimals(1);
    m_seconds->setSuffix(tr(" s"));
    m_seconds->setValue(initial.seconds);
    form->addRow(tr("&Duration:"), m_seconds);

    m_fps = new QSpinBox;
    m_fps->setRange(int(render::animation::kMinFps), int(render::animation::kMaxFps));
    m_fps->setValue(int(initial.fps));
    form->addRow(tr("Frames a &second:"), m_fps);

    m_keyframes = new QSpinBox;
    m_keyframes->setRange(int(render::animation::kMinKeyframes), int(render::animation::kMaxKeyframes));
    m_keyframes->setValue(int(initial.keyframes));
    form->addRow(tr("&Keyframes:"), m_keyframes);

    m_quality = new QComboBox;
    m_quality->addItems({tr("Standard"), tr("Smaller file"), tr("Higher quality"), tr("Exact frames (large)")});
    m_quality->setCurrentIndex(std::clamp(initial.quality, 0, 3));
    form->addRow(tr("&Quality:"), m_quality);

    m_size = new QComboBox;
    m_size->addItem(tr("The tile, %1 x %2").arg(tile.width()).arg(tile.height()));
    for (int scale = 2; scale <= 4; ++scale)
        m_size->addItem(tr("The tile at %1x, %2 x %3").arg(scale).arg(tile.width() * scale).arg(tile.height() * scale));
    m_size->addItem(tr("Screen-sized, the tile repeated"));
    m_size->setCurrentIndex(initial.fill ? 4 : std::clamp(initial.scale, 1, 4) - 1);
    form->addRow(tr("Si&ze:"), m_size);

    const QSize fill = initial.fill.value_or(screen.isValid() ? screen : QSize(1920, 1080));
    m_fillWidth = new QSpinBox;
    m_fillHeight = new QSpinBox;
    for (QSpinBox* spin : {m_fillWidth, m_fillHeight})
        spin->setRange(1, 16383);
    m_fillWidth->setValue(fill.width());
    m_fillHeight->setValue(fill.height());
    m_fillWidth->setAccessibleName(tr("Screen width"));
    m_fillHeight->setAccessibleName(tr("Screen height"));
    auto* fillRow = new QHBoxLayout;
    fillRow->addWidget(m_fillWidth);
    fillRow->addWidget(new QLabel(QStringLiteral("x")));
    fillRow->addWidget(m_fillHeight);
    auto* fillLabel = new QLabel(tr("Screen size:"));
    fillLabel->setBuddy(m_fillWidth);
    form->addRow(fillLabel, fillRow);
    auto enableFill = [this] {
        m_fillWidth->setEnabled(m_size->currentIndex() == 4);
        m_fillHeight->setEnabled(m_size->currentIndex() == 4);
    };
    connect(m_size, &QComboBox::currentIndexChanged, this, enableFill);
    enableFill();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The same loop on the desktop itself, at the tile's size (a screen-sized
    // fill does not apply: the desktop repeats the tile).
    QPushButton* living = buttons->addButton(tr("Set As &Living Wallpaper"), QDialogButtonBox::ActionRole);
    living->setObjectName(QStringLiteral("setAsLivingWallpaper"));
    connect(living, &QPushButton::clicked, this, [this] {
        m_living = true;
        accept();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

std::optional<int> CAnimationExportChoice::EncoderQuality() const
{
    switch (quality) {
    case 1:
        return 60;
    case 2:
        return 90;
    case 3:
        return 100;   // a lossless WebP ignores it
    default:
        return std::nullopt;
    }
}

void CAnimationExportDialog::Browse()
{
    const QString chosen = QFileDialog::getSaveFileName(this, tr("Export Animation"), m_path->text(),
                                                        m_format->currentText());
    if (!chosen.isEmpty())
        m_path->setText(PathForFormat(chosen, m_format->currentIndex()));
}

CAnimationExportChoice CAnimationExportDialog::Choice() const
{
    CAnimationExportChoice choice;
    choice.path = PathForFormat(m_path->text(), m_format->currentIndex());
    choice.seconds = m_seconds->value();
    choice.fps = uint32_t(m_fps->value());
    choice.keyframes = uint32_t(m_keyframes->value());
    choice.quality = m_quality->currentIndex();
    if (m_size->currentIndex() == 4)
        choice.fill = QSize(m_fillWidth->value(), m_fillHeight->value());
    else
        choice.scale = m_size->currentIndex() + 1;
    choice.living = m_living;
    return choice;
}

} // namespace quorrel::output::animation
