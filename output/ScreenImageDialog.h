#pragma once
// File > Export Screen-Sized Image...: the size of the picture (preset to
// the screen's size in device pixels), the smoothing, and the file whose
// extension picks the format as in Export Image. Browse... opens the export
// file dialog; a name typed without an extension gets the extension of the
// file type last chosen there.

#include "ExportDialog.h"
#include "TileRepeat.h"

#include <QDialog>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace quorrel::output {

struct CScreenImageSetup {
    QSize size;                  // preset: the screen's size in device pixels
    QSize tile;                  // the tile's own size, for the note
    int smooth = 1;              // samples a side: 1 (off), 2 or 4
    int scale = 1;               // the tile at 1 to 4 times its size
    QString path;                // the file proposed
    uint32_t filterIndex = 3;    // the file type for Browse and bare names (PNG)
    QString documentTitle;       // the name Browse proposes
};

struct CScreenImageChoice {
    QSize size;
    int smooth = 1;
    int scale = 1;
    QString path;                // completed with an extension, folder checked
    uint32_t filterIndex = 3;
};

class CScreenImageDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxSide = kMaxRepeatSide;

    CScreenImageDialog(QWidget* parent, const CScreenImageSetup& setup, IExportFileChooser& browse);

    // After Accepted: what was chosen.
    const CScreenImageChoice& Choice() const { return m_choice; }

    void accept() override;

    // "Export Screen-Sized Image"
    static QString Title();
    // The smoothing choices: "Off", "2 × 2", "4 × 4".
    static constexpr int kSmoothFactors[] = {1, 2, 4};
    // The scales: "1×" to "4×".
    static constexpr int kScales[] = {1, 2, 3, 4};

private:
    void OnBrowse();

    const CScreenImageSetup m_setup;
    IExportFileChooser& m_browse;
    QSpinBox* m_pWidth;
    QSpinBox* m_pHeight;
    QComboBox* m_pSmooth;
    QComboBox* m_pScale;
    QLineEdit* m_pPath;
    uint32_t m_nFilterIndex;
    QString m_strConfirmed;   // a path the file dialog has already asked to replace
    CScreenImageChoice m_choice;
};

// A proposal for the file: `folder`/`stem`-wallpaper.png.
QString ProposedScreenImagePath(const QString& folder, const QString& documentTitle);

} // namespace quorrel::output
