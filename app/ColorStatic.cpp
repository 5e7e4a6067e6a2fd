#include "ColorStatic.h"

#include <QApplication>

namespace quorrel::app {

namespace {
QColor FromColorRef(int64_t color, QPalette::ColorRole systemRole)
{
    if (color < 0)
        return QApplication::palette().color(systemRole);
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}
} // namespace

CColorStatic::CColorStatic(QWidget* parent) : QLabel(parent)
{
    setAutoFillBackground(true);
    setAlignment(Qt::AlignCenter);
}

void CColorStatic::SetBkColor(int64_t color)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, FromColorRef(color, QPalette::Button));
    setPalette(p);
    update();
}

void CColorStatic::SetTextColor(int64_t color)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, FromColorRef(color, QPalette::ButtonText));
    setPalette(p);
    update();
}

} // namespace quorrel::app
