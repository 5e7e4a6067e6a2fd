#include "controls/accessible/ComboAccessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

#include <utility>

namespace quorrel::controls {

namespace {

// The current item is also served as read-only text: Qt's bridge on Linux
// carries no value text for a combo box, and screen readers read the text
// of a combo box whose list offers no selection, as here.
class CComboAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CComboAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
        , m_shown(CurrentItem())
        , m_changed(QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [this] { OnItemChanged(); }))
    {
    }
    ~CComboAccessible() override { QObject::disconnect(m_changed); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

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

    // The text: the current item, read only, without a caret or selection.
    QString text(int start, int end) const override { return CurrentItem().mid(start, end - start); }
    int characterCount() const override { return int(CurrentItem().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    // The text changed as a whole: braille displays and readers that follow
    // text are told.
    void OnItemChanged()
    {
        const QString shown = CurrentItem();
        if (shown == m_shown)
            return;
        const QString old = std::exchange(m_shown, shown);
        if (!QAccessible::isActive())
            return;
        QAccessibleTextUpdateEvent event(Combo(), 0, old, shown);
        QAccessible::updateAccessibility(&event);
    }

    // The current item's text, or what it speaks when it shows a picture only.
    QString CurrentItem() const
    {
        const QString shown = Combo()->currentText();
        if (!shown.isEmpty())
            return shown;
        return Combo()->itemData(Combo()->currentIndex(), Qt::AccessibleTextRole).toString();
    }

    QString m_shown;
    QMetaObject::Connection m_changed;
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
