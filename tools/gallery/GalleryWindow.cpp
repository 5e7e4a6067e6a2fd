#include "GalleryWindow.h"

#include "controls/ColorRef.h"
#include "controls/GridCtrl.h"
#include "controls/RangeSliderCtrl.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace quorrel::controls;

namespace {

const char* const kNames[] = {"Red", "Green", "Blue", "Hue", "Sat", "Lum"};

} // namespace

GalleryWindow::GalleryWindow(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Quorrel controls"));
    auto* layout = new QVBoxLayout(this);
    const QPalette& pal = palette();
    const uint32_t window = ToColorRef(pal.color(QPalette::Base));
    const uint32_t highlight = ToColorRef(pal.color(QPalette::Highlight));
    const uint32_t colors[3] = {window, highlight, window};

    // A colour range that wraps: low 200, high 50.
    auto* colorBox = new QGroupBox(QStringLiteral("Colour range 0..255 (wrapping, alternate colours)"));
    auto* colorLayout = new QVBoxLayout(colorBox);
    m_pColor = new CRangeSliderCtrl(colorBox, RSS_DEFAULT);
    m_pColor->SetUp(0, 255, 17, 2, nullptr, colors, 0x48F);
    const float colorValues[2] = {200, 50};
    m_pColor->SetMarkers(0, 255, 2, colorValues);
    m_pColor->SetAlternate(true);
    colorLayout->addWidget(m_pColor);
    layout->addWidget(colorBox);

    auto* amplBox = new QGroupBox(QStringLiteral("Amplitude range 0..100"));
    auto* amplLayout = new QVBoxLayout(amplBox);
    m_pAmplitude = new CRangeSliderCtrl(amplBox, RSS_DEFAULT);
    m_pAmplitude->SetUp(0, 100, 20, 2, nullptr, colors, 0x8F);
    const float amplValues[2] = {10, 60};
    m_pAmplitude->SetMarkers(0, 100, 2, amplValues);
    amplLayout->addWidget(m_pAmplitude);
    layout->addWidget(amplBox);

    // The correlation weights: Red, Green and Blue derived from the others.
    auto* tabs = new QTabWidget;
    m_pTabs = tabs;
    m_pGrid = new CGridCtrl;
    m_pGrid->SetEditable(true);
    m_pGrid->SetListMode(false);
    m_pGrid->SetRowCount(7);
    m_pGrid->SetColumnCount(9);
    m_pGrid->SetFixedRowCount(1);
    m_pGrid->SetFixedColumnCount(1);
    for (int r = 0; r < 7; ++r)
        m_pGrid->SetRowHeight(r, 40);
    for (int c = 0; c < 9; ++c)
        m_pGrid->SetColumnWidth(c, 39);
    m_pGrid->SetRowResize(false);
    const bool ticked[8] = {false, false, false, true, true, true, true, true};
    const uint32_t face = ToColorRef(pal.color(QPalette::Button));
    for (int r = 0; r < 7; ++r) {
        for (int k = 0; k < 9; ++k) {
            CGridItem item;
            item.row = r;
            item.col = k;
            item.mask = GIM_TEXT | GIM_FORMAT;
            if (r == 0 || k == 0) {
                const int name = (r == 0 ? k : r) - 1;
                item.strText = name < 0 ? QString() : name < 6 ? QString::fromLatin1(kNames[name])
                                                     : name == 6 ? QStringLiteral("+") : QStringLiteral("Free");
                item.nFormat = DT_LEFT | DT_WORDBREAK;
            } else {
                item.nFormat = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
                const bool editable = !ticked[r - 1] && ticked[k - 1];
                item.strText = editable && k == 8 ? QStringLiteral("0.50") : QString();
                item.mask |= GIM_STATE | GIM_BKCLR;
                item.nState = editable ? 0 : GCS_READONLY;
                item.crBkClr = editable ? window : face;
            }
            m_pGrid->SetItem(item);
        }
    }
    tabs->addTab(m_pGrid, QStringLiteral("Correlations 7 x 9"));

    // One coefficient table: 10 horizontal by 12 vertical harmonics.
    auto* coeffs = new CGridCtrl;
    coeffs->SetRowCount(11);
    coeffs->SetColumnCount(13);
    coeffs->SetFixedRowCount(1);
    coeffs->SetFixedColumnCount(1);
    for (int r = 0; r < 11; ++r) {
        for (int k = 0; k < 13; ++k) {
            CGridItem item;
            item.row = r;
            item.col = k;
            item.mask = GIM_TEXT | GIM_FORMAT;
            item.nFormat = r == 0 ? DT_LEFT | DT_WORDBREAK : DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
            item.strText = r == 0 ? QString::asprintf("%d", k)
                           : k == 0 ? QString::asprintf("%d", r)
                                    : QString::asprintf("%d", ((r * 7919 + k * 104729) % 2001) - 1000);
            coeffs->SetItem(item);
        }
    }
    coeffs->AutoSize();
    tabs->addTab(coeffs, QStringLiteral("Coefficients"));

    // The other slider layouts, to try by hand.
    auto* others = new QWidget;
    auto* othersLayout = new QHBoxLayout(others);
    auto* vertical = new CRangeSliderCtrl(others, RSS_DEFAULT);
    vertical->SetTrackbarStyle(Qt::Vertical, QSlider::TicksBelow);
    vertical->SetUp(0, 100, 20, 3, nullptr, nullptr, int(RSS_LABELS | RSS_INTEGER | RSS_VALUETIP | RSS_NOCROSSING));
    othersLayout->addWidget(vertical);
    auto* onTop = new CRangeSliderCtrl(others, RSS_DEFAULT);
    onTop->SetTrackbarStyle(Qt::Horizontal, QSlider::TicksAbove);
    const uint32_t three[4] = {0xFFFFFF, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const float topValues[3] = {1.5f, 4.0f, 7.25f};
    onTop->SetUp(0, 10, 10, 3, topValues, three,
                 int(RSS_COLORSEGMENTS | RSS_LABELS | RSS_VALUETIP | RSS_DRAGOUTREMOVES | RSS_FOCUSRECT));
    auto* both = new CRangeSliderCtrl(others, RSS_DEFAULT);
    both->SetTrackbarStyle(Qt::Horizontal, QSlider::TicksBothSides);
    const float bothValues[2] = {25, 75};
    both->SetUp(0, 100, 25, 2, bothValues, colors, int(RSS_COLORSEGMENTS | RSS_LABELS | RSS_REVERSED));
    auto* column = new QVBoxLayout;
    column->addWidget(new QLabel(QStringLiteral("Ticks on top, three markers, drag out removes:")));
    column->addWidget(onTop);
    column->addWidget(new QLabel(QStringLiteral("Ticks on both sides, reversed:")));
    column->addWidget(both);
    column->addStretch();
    othersLayout->addLayout(column, 1);
    tabs->addTab(others, QStringLiteral("Other sliders"));

    tabs->setMinimumSize(9 * 39 + 20, 7 * 40 + 40);
    layout->addWidget(tabs, 1);

    m_pStatus = new QLabel;
    layout->addWidget(m_pStatus);
    connect(m_pColor, &CRangeSliderCtrl::scrolled, this, &GalleryWindow::ShowSliderValues);
    connect(m_pAmplitude, &CRangeSliderCtrl::scrolled, this, &GalleryWindow::ShowSliderValues);
    connect(m_pGrid, &CGridCtrl::endEdit, this, [this](int row, int col) {
        m_pStatus->setText(QStringLiteral("Cell %1,%2 = \"%3\"").arg(row).arg(col).arg(m_pGrid->GetItemText(row, col)));
    });
    ShowSliderValues();
}

void GalleryWindow::ShowSliderValues()
{
    int color[8] = {};
    int ampl[8] = {};
    const int nc = m_pColor->GetMarkerValuesInt(color);
    const int na = m_pAmplitude->GetMarkerValuesInt(ampl);
    // A wrapping range reads high first: the alternate flag says it wraps.
    const bool wraps = m_pColor->GetAlternate();
    m_pStatus->setText(QStringLiteral("Colour: %1..%2%3   Amplitude: %4..%5")
                           .arg(nc > 0 ? color[wraps ? 1 : 0] : 0)
                           .arg(nc > 1 ? color[wraps ? 0 : 1] : 255)
                           .arg(wraps ? QStringLiteral(" (wraps)") : QString())
                           .arg(na > 0 ? ampl[0] : 0)
                           .arg(na > 1 ? ampl[1] : 100));
}

void GalleryWindow::ShowPage(int index)
{
    m_pTabs->setCurrentIndex(index);
}
