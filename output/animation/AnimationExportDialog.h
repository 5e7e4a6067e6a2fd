#pragma once
// File > Export Animation...: the file and its format, the loop's length,
// frames a second and keyframes, the quality, and the frames' size (the tile, the tile
// rendered 2 to 4 times as large, or the tile repeated to a screen's size).

#include <QDialog>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace quorrel::output::animation {

struct CAnimationExportChoice {
    QString path;   // with the format's extension; a frame sequence's holds {n}
    double seconds = 8.0;
    uint32_t fps = 30;
    uint32_t keyframes = 2;
    int scale = 1;                // the tile rendered at this multiple of its size
    std::optional<QSize> fill;    // or repeated to this size
    bool living = false;          // Set As Living Wallpaper instead of a file
    // The Quality choice: 0 the formats' defaults, 1 a smaller file, 2 a
    // higher quality, 3 the exact frames (a lossless WebP; the highest
    // quality in the other formats).
    int quality = 0;

    // What the quality choice asks of the encoders.
    std::optional<int> EncoderQuality() const;
    bool Lossless() const { return quality == 3; }
};

class CAnimationExportDialog final : public QDialog {
    Q_OBJECT
public:
    // `screen`: the size offered for a screen-sized fill.
    CAnimationExportDialog(QWidget* parent, const CAnimationExportChoice& initial, QSize tile, QSize screen);

    CAnimationExportChoice Choice() const;

    // `path` with the extension of format `index` (0 WebP, 1 GIF, 2 WebM,
    // 3 PNG frames, which also gets "-{n}" unless it holds {n}).
    static QString PathForFormat(const QString& path, int index);

private:
    void Browse();

    QComboBox* m_format;
    QLineEdit* m_path;
    QDoubleSpinBox* m_seconds;
    QSpinBox* m_fps;
    QSpinBox* m_keyframes;
    QComboBox* m_quality;
    QComboBox* m_size;
    QSpinBox* m_fillWidth;
    QSpinBox* m_fillHeight;
    bool m_living = false;
};

} // namespace quorrel::output::animation
