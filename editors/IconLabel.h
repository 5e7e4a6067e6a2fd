#pragma once
// A static icon (the symmetry column headings and value icons) painted from a
// vector icon, so it stays sharp at any screen density. It remembers the
// resource number it shows.

#include <QIcon>
#include <QWidget>

namespace quorrel::editors {

class CIconLabel final : public QWidget {
    Q_OBJECT
public:
    explicit CIconLabel(int iconId = 0, int side = 16, QWidget* parent = nullptr);

    void SetIconId(int iconId);
    int IconId() const { return m_nIconId; }

    QSize sizeHint() const override { return {m_nSide, m_nSide}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nIconId = 0;
    int m_nSide;
    QIcon m_icon;
};

} // namespace quorrel::editors
