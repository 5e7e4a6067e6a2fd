#pragma once
// A Cancel button made outside a button box (progress dialogs, the status
// bar's Cancel Export) looks like the button boxes' Cancel: the style's
// cancel picture wherever the style gives dialog buttons pictures.

#include <QAbstractButton>
#include <QStyle>

namespace quorrel::platform {

inline void GiveCancelIcon(QAbstractButton* button)
{
    QStyle* style = button->style();
    if (style->styleHint(QStyle::SH_DialogButtonBox_ButtonsHaveIcons, nullptr, button))
        button->setIcon(style->standardIcon(QStyle::SP_DialogCancelButton, nullptr, button));
}

} // namespace quorrel::platform
