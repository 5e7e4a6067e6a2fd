#include "PresetGallery.h"

#include "model/TileParams.h"
#include "platform/presets/PresetLibrary.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace quorrel::editors {

namespace {

constexpr int kColumns = 4;

// Shown until a thumbnail arrives: a plain frame of the thumbnail's size.
QPixmap Placeholder(const QPalette& palette, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(palette.color(QPalette::Window));
    QPainter painter(&pixmap);
    painter.setPen(palette.color(QPalette::Mid));
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return pixmap;
}

// The same picture selected or not: the list's selection tint would change
// the very colours the thumbnail is there to show. The name shows the
// selection.
QIcon Thumbnail(const QPixmap& pixmap)
{
    QIcon icon;
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Selected);
    return icon;
}

} // namespace

CPresetGallery::CPresetGallery(QWidget* parent, CThumbnailRenderer::RenderFunction render)
    : QDialog(parent), m_pRenderer(std::make_unique<CThumbnailRenderer>(std::move(render)))
{
    setWindowTitle(tr("New from Preset"));

    auto* intro = new QLabel(tr("Choose a starting point for the new document. "
                                            "Another shows a new tile of the selected preset."));
    intro->setWordWrap(true);

    // The screen the gallery opens on, as the desktop lays the wallpaper
    // there: in device pixels.
    const QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    m_ratio = screen ? screen->devicePixelRatio() : 1.0;
    m_screenPixels = screen ? (QSizeF(screen->geometry().size()) * m_ratio).toSize() : QSize(1920, 1080);
    if (m_screenPixels.isEmpty())
        m_screenPixels = QSize(1920, 1080);
    m_thumbnail = QSize(kThumbnailWidth, std::clamp(int(std::lround(double(kThumbnailWidth) * m_screenPixels.height() /
                                                                       m_screenPixels.width())),
                                                   kThumbnailWidth / 2, kThumbnailWidth));
    m_thumbnailPixels = (QSizeF(m_thumbnail) * m_ratio).toSize();

    m_pList = new QListWidget;
    m_pList->setObjectName(QStringLiteral("PresetList"));
    m_pList->setViewMode(QListView::IconMode);
    m_pList->setMovement(QListView::Static);
    m_pList->setResizeMode(QListView::Adjust);
    m_pList->setWrapping(true);
    m_pList->setWordWrap(true);
    m_pList->setUniformItemSizes(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setIconSize(m_thumbnail);
    m_pList->setSpacing(4);

    QPixmap placeholder = Placeholder(palette(), m_thumbnailPixels);
    placeholder.setDevicePixelRatio(m_ratio);
    // Every name in full on one line, in the list's own font and style.
    int widestName = 0;
    const QFontMetrics names(m_pList->font());
    for (const model::PresetInfo& info : model::Presets())
        widestName = std::max(widestName, names.horizontalAdvance(QString::fromUtf8(info.name.data(), info.name.size())));
    m_pList->setGridSize(QSize(std::max(m_thumbnail.width(), widestName) + 24,
                               m_thumbnail.height() + 2 * names.height() + 8));

    for (const model::PresetInfo& info : model::Presets()) {
        auto params = std::make_unique<model::CTileParams>();
        std::string error;
        if (!presets::LoadPreset(info, *params, error))
            continue;   // only a build without its resources gets here
        m_entries.push_back(Entry{&info, info.seed, std::move(params), false});
        auto* item = new QListWidgetItem(Thumbnail(placeholder), QString::fromUtf8(info.name.data(), info.name.size()));
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        m_pList->addItem(item);
        UpdateToolTip(Count() - 1);
    }

    m_pAnother = new QPushButton(tr("&Another"));
    m_pAnother->setAutoDefault(false);
    m_pAnother->setToolTip(tr("A new tile of the selected preset"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(m_pAnother, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pAnother, &QPushButton::clicked, this, &CPresetGallery::OnAnother);
    connect(m_pList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_pList, &QListWidget::currentRowChanged, this, [this, buttons](int row) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(row >= 0);
        m_pAnother->setEnabled(row >= 0);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_pList, 1);
    layout->addWidget(buttons);
    SizeToShowEveryThumbnail();

    SetCurrentIndex(Count() > 0 ? 0 : -1);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(Count() > 0);
    m_pAnother->setEnabled(Count() > 0);
    m_pList->setFocus();

    // Every thumbnail is asked for now and arrives later; the dialog does
    // not wait for any of them.
    connect(m_pRenderer.get(), &CThumbnailRenderer::ThumbnailReady, this, &CPresetGallery::OnThumbnailReady);
    for (int i = 0; i < Count(); ++i)
        m_pRenderer->Request(i, Params(i), m_thumbnailPixels, m_screenPixels, Scale(i));
}

CPresetGallery::~CPresetGallery() = default;

void CPresetGallery::SizeToShowEveryThumbnail()
{
    // Four across and every row, where the screen has room; the list
    // scrolls on a smaller screen.
    const QSize cell = m_pList->gridSize() + QSize(m_pList->spacing(), m_pList->spacing());
    const int rows = (Count() + kColumns - 1) / kColumns;
    const int frame = 2 * m_pList->frameWidth() + 2 * m_pList->spacing() + 4;
    const QSize list(kColumns * cell.width() + frame, std::max(rows, 1) * cell.height() + frame);
    // The intro wraps to the list's width; the buttons go below.
    QLayout* column = layout();
    const QMargins margins = column->contentsMargins();
    const QWidget* intro = column->itemAt(0)->widget();
    const QWidget* buttons = column->itemAt(2)->widget();
    const QSize wanted(margins.left() + margins.right() + std::max(list.width(), buttons->sizeHint().width()),
                       margins.top() + margins.bottom() + intro->heightForWidth(list.width()) + list.height() +
                           buttons->sizeHint().height() + 2 * column->spacing());
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() * 9 / 10 : wanted;
    resize(wanted.boundedTo(room));
}

int CPresetGallery::ThumbnailsReady() const
{
    return static_cast<int>(std::ranges::count_if(m_entries, [](const Entry& e) { return e.ready; }));
}

int CPresetGallery::CurrentIndex() const { return m_pList->currentRow(); }

void CPresetGallery::SetCurrentIndex(int index)
{
    m_pList->setCurrentRow(index);
}

void CPresetGallery::OnAnother()
{
    const int index = CurrentIndex();
    if (index < 0)
        return;
    Entry& entry = m_entries[index];
    uint32_t seed = entry.seed;
    while (seed == entry.seed)
        seed = QRandomGenerator::global()->generate();
    entry.seed = seed;
    // The generator is the process's own: it runs here, on the user-interface
    // thread, and only the rendering goes to the background.
    entry.params->GenerateRandom(seed);
    entry.ready = false;
    UpdateToolTip(index);
    m_pRenderer->Request(index, *entry.params, m_thumbnailPixels, m_screenPixels, Scale(index));
}

void CPresetGallery::OnThumbnailReady(int index, const QImage& image)
{
    if (index < 0 || index >= Count())
        return;
    m_entries[index].ready = true;
    if (!image.isNull()) {
        QPixmap pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(m_ratio);
        m_pList->item(index)->setIcon(Thumbnail(pixmap));
    }
}

void CPresetGallery::UpdateToolTip(int index)
{
    const Entry& entry = m_entries[index];
    m_pList->item(index)->setToolTip(tr("%1: a %2 × %3 tile, seed %4")
                                         .arg(QString::fromUtf8(entry.info->name.data(), entry.info->name.size()))
                                         .arg(entry.params->m_nWidth)
                                         .arg(entry.params->m_nHeight)
                                         .arg(entry.seed));
}

} // namespace quorrel::editors
