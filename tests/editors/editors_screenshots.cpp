// Saves pictures of the Properties sheet's pages (default parameter set),
// the Coefficients dialogs, the symmetry pictures and the preset gallery
// (as it opens and once filled in) into a folder, for a look under a real
// (virtual) display: editors_screenshots OUTPUT_DIR.

#include "editors/CoeffsDlg.h"
#include "editors/CoeffsMainDlg.h"
#include "editors/EditorIcons.h"
#include "editors/PresetGallery.h"
#include "editors/QuorrelProp.h"

#include "model/TileParams.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QTabBar>
#include <QTest>

using namespace quorrel;
using namespace quorrel::editors;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    model::CTileParams params;
    CQuorrelProp sheet(params);
    sheet.show();
    QTest::qWait(200);
    for (int i = 0; i < CQuorrelProp::kPageCount; ++i) {
        QTabBar* tabs = sheet.TabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(i).center());
        QTest::qWait(150);
        sheet.grab().save(out.filePath(QStringLiteral("page%1.png").arg(i + 1)));
    }
    sheet.reject();

    model::CTileParams generated;
    generated.m_nHorzHarm[model::Hue] = 4;
    generated.m_nVertHarm[model::Hue] = 6;
    generated.GenerateRandom(7);
    {
        CCoeffsMainDlg dialog(generated);
        dialog.show();
        QTest::qWait(150);
        dialog.grab().save(out.filePath(QStringLiteral("coeffs_main.png")));
    }
    {
        CCoeffsDlg dialog(generated, &model::CTileParams::m_nCosCos, model::Hue);
        dialog.show();
        QTest::qWait(150);
        dialog.grab().save(out.filePath(QStringLiteral("coeffs_grid.png")));
    }

    {
        CPresetGallery gallery;
        gallery.show();
        gallery.grab().save(out.filePath(QStringLiteral("presets_opening.png")));
        if (!QTest::qWaitFor([&] { return gallery.ThumbnailsReady() == gallery.Count(); }, 30000))
            return 1;
        QTest::qWait(100);
        gallery.grab().save(out.filePath(QStringLiteral("presets.png")));
    }

    // The 25 symmetry pictures at 1x and 3x, and the small icons at 3x.
    const int side = 32;
    for (const qreal scale : {1.0, 3.0}) {
        QPixmap sheetOfPictures(QSize(25 * (side + 4), side + 4) * scale);
        sheetOfPictures.setDevicePixelRatio(scale);
        sheetOfPictures.fill(Qt::lightGray);
        QPainter p(&sheetOfPictures);
        for (int item = 0; item < 25; ++item)
            SymmetryPicture(item).paint(&p, QRect(2 + item * (side + 4), 2, side, side));
        p.end();
        sheetOfPictures.save(out.filePath(QStringLiteral("symmetries_x%1.png").arg(int(scale))));
    }
    {
        const int ids[] = {801, 900, 901, 902, 903, 904, 905, 909, 910, 911, 919, 920, 921};
        QPixmap icons(QSize(13 * 24, 24) * 3);
        icons.setDevicePixelRatio(3);
        icons.fill(Qt::white);
        QPainter p(&icons);
        for (int i = 0; i < 13; ++i)
            EditorIcon(ids[i]).paint(&p, QRect(2 + i * 24, 2, 20, 20));
        p.end();
        icons.save(out.filePath(QStringLiteral("icons_x3.png")));
    }
    return 0;
}
