#pragma once
// A text label with a background and a text colour of its own (0x00BBGGRR;
// -1 selects the system's button face and button text colours).

#include <QLabel>

#include <cstdint>

namespace quorrel::app {

class CColorStatic final : public QLabel {
    Q_OBJECT
public:
    explicit CColorStatic(QWidget* parent = nullptr);

    void SetBkColor(int64_t color);
    void SetTextColor(int64_t color);

    QColor BkColor() const { return palette().color(QPalette::Window); }
    QColor TextColor() const { return palette().color(QPalette::WindowText); }
};

} // namespace quorrel::app
