#include "controls/accessible/ComboAccessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

namespace quorrel::controls {

namespace {

class CComboAccessible final : public QAccessibleWidget {
public:
    explicit CComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }

    // The one child is the list of items, as in Qt's own interface.
    int childCount() const override { return Combo()->view() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 && Combo()->view() ? QAccessible::queryAccessibleInterface(Combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && Combo()->view() && child->object() == Combo()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: {
            const QString name = Combo()->accessibleName();
            return name.isEmpty() ? CurrentItem() : name;
        }
        case QAccessible::Value:
            return CurrentItem();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = Combo()->view() && Combo()->view()->isVisible();
        return s;
    }

    // Opening and closing the list.
    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (Combo()->view() && Combo()->view()->isVisible())
            Combo()->hidePopup();
        else
            Combo()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    // The current item's text, or what it speaks when it shows a picture only.
    QString CurrentItem() const
    {
        const QString shown = Combo()->currentText();
        if (!shown.isEmpty())
            return shown;
        return Combo()->itemData(Combo()->currentIndex(), Qt::AccessibleTextRole).toString();
    }
};

} // namespace

QAccessibleInterface* MakeComboAccessible(QObject* object)
{
    auto* combo = qobject_cast<QComboBox*>(object);
    if (!combo || combo->isEditable())
        return nullptr;
    return new CComboAccessible(combo);
}

} // namespace quorrel::controls
