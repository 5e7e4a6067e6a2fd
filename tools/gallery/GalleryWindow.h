#pragma once

#include <QWidget>

class QLabel;
class QTabWidget;

namespace quorrel::controls {
class CGridCtrl;
class CRangeSliderCtrl;
} // namespace quorrel::controls

// Shows the two custom controls set up the way the parameter editors use
// them, so that they can be tried by hand.
class GalleryWindow final : public QWidget {
    Q_OBJECT
public:
    explicit GalleryWindow(QWidget* parent = nullptr);

    void ShowPage(int index);

private:
    void ShowSliderValues();

    quorrel::controls::CRangeSliderCtrl* m_pColor = nullptr;
    quorrel::controls::CRangeSliderCtrl* m_pAmplitude = nullptr;
    quorrel::controls::CGridCtrl* m_pGrid = nullptr;
    QLabel* m_pStatus = nullptr;
    QTabWidget* m_pTabs = nullptr;
};
