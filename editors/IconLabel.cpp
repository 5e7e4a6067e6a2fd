#include "IconLabel.h"

#include "EditorIcons.h"

#include <QPainter>

namespace quorrel::editors {

CIconLabel::CIconLabel(int iconId, int side, QWidget* parent)
    : QWidget(parent)
    , m_nSide(side)
{
    setFixedSize(side, side);
    SetIconId(iconId);
}

void CIconLabel::SetIconId(int iconId)
{
    if (iconId == m_nIconId && !m_icon.isNull())
        return;
    m_nIconId = iconId;
    m_icon = EditorIcon(iconId);
    update();
}

void CIconLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_icon.paint(&painter, rect());
}

} // namespace quorrel::editors
