#include "controls/accessible/Accessibility.h"

#include "controls/accessible/ComboAccessible.h"
#include "controls/accessible/GridAccessible.h"
#include "controls/accessible/RangeSliderAccessible.h"

#include <QAccessible>

namespace quorrel::controls {

namespace {

QAccessibleInterface* ControlFactory(const QString&, QObject* object)
{
    for (auto* make : {MakeGridAccessible, MakeRangeSliderAccessible, MakeComboAccessible})
        if (QAccessibleInterface* made = make(object))
            return made;
    return nullptr;
}

} // namespace

void InstallControlAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(ControlFactory);
        return true;
    }();
    (void)installed;
}

} // namespace quorrel::controls
