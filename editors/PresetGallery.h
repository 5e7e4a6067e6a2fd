#pragma once
// "New from Preset": a thumbnail of every preset with its name under it.
// The thumbnails are rendered in the background, so the dialog shows at
// once with placeholders that fill in. "Another" gives the selected preset
// a new seed, and so a new tile. The choice is the preset's settings with
// the tile of the seed shown.

#include "ThumbnailRenderer.h"

#include "model/Presets.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <vector>

class QListWidget;
class QPushButton;

namespace quorrel::model { class CTileParams; }

namespace quorrel::editors {

class CPresetGallery final : public QDialog {
    Q_OBJECT
public:
    // The thumbnails' width; their height follows the screen's shape.
    static constexpr int kThumbnailWidth = 160;

    explicit CPresetGallery(QWidget* parent = nullptr,
                            CThumbnailRenderer::RenderFunction render = CThumbnailRenderer::DefaultRender());
    ~CPresetGallery() override;

    // The presets shown, in the catalogue's order; one that does not load
    // is left out.
    int Count() const { return static_cast<int>(m_entries.size()); }
    const model::PresetInfo& Preset(int index) const { return *m_entries.at(index).info; }
    // The seed of the tile shown, and the settings with that tile.
    uint32_t Seed(int index) const { return m_entries.at(index).seed; }
    const model::CTileParams& Params(int index) const { return *m_entries.at(index).params; }
    // The scale entry `index`'s thumbnail lays its tile at: the preset's
    // preferred one, rendered continuously above 1.
    int Scale(int index) const { return int(m_entries.at(index).info->scale); }
    bool IsThumbnailReady(int index) const { return m_entries.at(index).ready; }
    int ThumbnailsReady() const;

    int CurrentIndex() const;
    void SetCurrentIndex(int index);
    // The choice: the current preset's settings and tile.
    const model::CTileParams& SelectedParams() const { return Params(CurrentIndex()); }

    // A new seed for the current preset, its tile generated at once and its
    // thumbnail rendered again.
    void OnAnother();

    // A thumbnail in logical pixels, in device pixels (as rendered), and
    // the screen it shows, in device pixels: the screen the gallery opens on.
    QSize ThumbnailSize() const { return m_thumbnail; }
    QSize ThumbnailPixels() const { return m_thumbnailPixels; }
    QSize ScreenPixels() const { return m_screenPixels; }

    QListWidget* List() const { return m_pList; }
    QPushButton* AnotherButton() const { return m_pAnother; }

private:
    struct Entry {
        const model::PresetInfo* info = nullptr;
        uint32_t seed = 0;
        std::unique_ptr<model::CTileParams> params;
        bool ready = false;
    };

    void OnThumbnailReady(int index, const QImage& image);
    void UpdateToolTip(int index);

    void SizeToShowEveryThumbnail();

    std::vector<Entry> m_entries;
    QSize m_thumbnail;
    QSize m_thumbnailPixels;
    QSize m_screenPixels;
    qreal m_ratio = 1.0;
    QListWidget* m_pList = nullptr;
    QPushButton* m_pAnother = nullptr;
    // Last, so it stops before the entries and the list go.
    std::unique_ptr<CThumbnailRenderer> m_pRenderer;
};

} // namespace quorrel::editors
