#include "ComponentChecks.h"

#include "ControlIds.h"
#include "EditorIcons.h"

#include "controls/accessible/Accessibility.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

namespace quorrel::editors {

QString ComponentLabel(int c)
{
    static const char* const labels[] = {QT_TRANSLATE_NOOP("Components", "&Red"), QT_TRANSLATE_NOOP("Components", "&Green"), QT_TRANSLATE_NOOP("Components", "&Blue"), QT_TRANSLATE_NOOP("Components", "&Hue"), QT_TRANSLATE_NOOP("Components", "&Saturation"),
                                         QT_TRANSLATE_NOOP("Components", "&Luminosity")};
    return QCoreApplication::translate("Components", labels[c]);
}

QString ComponentShortName(int c)
{
    static const char* const names[] = {QT_TRANSLATE_NOOP("Components", "Red"), QT_TRANSLATE_NOOP("Components", "Green"), QT_TRANSLATE_NOOP("Components", "Blue"), QT_TRANSLATE_NOOP("Components", "Hue"), QT_TRANSLATE_NOOP("Components", "Sat"), QT_TRANSLATE_NOOP("Components", "Lum")};
    return QCoreApplication::translate("Components", names[c]);
}

QString ComponentName(int c) { return ComponentLabel(c).remove(QLatin1Char('&')); }

void SetSpokenName(QWidget* control, const QString& name)
{
    // Combo boxes speak the name only through the control's own interfaces.
    controls::InstallControlAccessibility();
    control->setAccessibleName(name);
    for (QLineEdit* edit : control->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly))
        edit->setAccessibleName(name);
    if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->view())
        combo->view()->setAccessibleName(name);
}

QCheckBox* MakeComponentCheck(int c)
{
    auto* box = new QCheckBox(ComponentLabel(c));
    SetControlId(box, kComponentCheckId + c);
    return box;
}

QToolButton* MakeApplyButton(int id, const QString& tooltip)
{
    auto* button = new QToolButton;
    SetControlId(button, id);
    button->setIcon(EditorIcon(kTriangleIcon));
    button->setIconSize(QSize(12, 12));
    button->setToolTip(tooltip);
    button->setAccessibleName(tooltip);   // it shows only a triangle
    button->setAutoRaise(false);
    button->setFixedSize(22, 16);
    return button;
}

} // namespace quorrel::editors
