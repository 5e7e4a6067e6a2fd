#include "controls/accessible/RangeSliderAccessible.h"

#include "controls/RangeSliderCtrl.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <vector>

namespace quorrel::controls {

namespace {

// The marker values in ascending order.
std::vector<float> Values(const CRangeSliderCtrl& slider)
{
    std::vector<float> values(size_t(slider.GetMarkerCount()));
    values.resize(size_t(slider.GetMarkerValues(values.data())));
    return values;
}

// Whether the range is the part outside the two markers (alternating
// colours swapped): it runs from the upper marker past the end to the lower.
bool Wraps(const CRangeSliderCtrl& slider)
{
    return (slider.GetStyle() & RSS_ALTERNATECOLORS) != 0 && slider.GetAlternate();
}

// One marker, by its place in ascending order; it looks its slider up each
// time, so a slider that lost markers or went leaves it merely invalid.
class CMarkerAccessible final : public QAccessibleInterface, public QAccessibleValueInterface {
public:
    CMarkerAccessible(CRangeSliderCtrl* slider, int index) : m_pSlider(slider), m_nIndex(index) {}

    bool isValid() const override { return m_pSlider && m_nIndex < m_pSlider->GetMarkerCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_pSlider ? m_pSlider->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_pSlider.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Slider; }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.disabled = !m_pSlider->isEnabled();
        s.invisible = !m_pSlider->isVisible();
        // The keyboard focus stays with the slider as a whole (its group).
        return s;
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = m_pSlider->GetMarkerRect(m_nIndex);
        return QRect(m_pSlider->mapToGlobal(local.topLeft()), local.size());
    }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name: return Name();
        case QAccessible::Value: return Format(Values(*m_pSlider)[size_t(m_nIndex)]);
        default: return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this) : nullptr;
    }

    QVariant currentValue() const override
    {
        return isValid() ? QVariant(double(Values(*m_pSlider)[size_t(m_nIndex)])) : QVariant();
    }
    void setCurrentValue(const QVariant& value) override
    {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (isValid() && ok)
            m_pSlider->SetMarkerValue(m_nIndex, float(v));
    }
    // A marker moves between its neighbours (or the ends of the range).
    QVariant minimumValue() const override
    {
        if (!isValid())
            return {};
        return double(m_nIndex > 0 ? Values(*m_pSlider)[size_t(m_nIndex) - 1] : m_pSlider->GetMin());
    }
    QVariant maximumValue() const override
    {
        if (!isValid())
            return {};
        const std::vector<float> values = Values(*m_pSlider);
        return double(size_t(m_nIndex) + 1 < values.size() ? values[size_t(m_nIndex) + 1] : m_pSlider->GetMax());
    }
    QVariant minimumStepSize() const override { return Integer() ? 1.0 : 0.1; }

private:
    bool Integer() const { return (m_pSlider->GetStyle() & RSS_INTEGER) != 0; }
    QString Format(float v) const { return QString::number(double(v), 'f', Integer() ? 0 : 1); }

    // "from" and "to" by the marker's part in the range: while the range
    // wraps around the ends, the upper marker is where it starts.
    QString Name() const
    {
        QString group = m_pSlider->accessibleName();
        if (group.isEmpty())
            group = QStringLiteral("Range");
        const int count = m_pSlider->GetMarkerCount();
        if (count == 1)
            return group;
        if (count == 2) {
            const bool from = (m_nIndex == 0) != Wraps(*m_pSlider);
            return group + (from ? QStringLiteral(", from") : QStringLiteral(", to"));
        }
        return group + QStringLiteral(", marker %1 of %2").arg(m_nIndex + 1).arg(count);
    }

    QPointer<CRangeSliderCtrl> m_pSlider;
    int m_nIndex;
};

class CRangeSliderAccessible final : public QAccessibleWidget {
public:
    explicit CRangeSliderAccessible(CRangeSliderCtrl* slider)
        : QAccessibleWidget(slider, QAccessible::Grouping)
        , m_notify(QObject::connect(slider, &CRangeSliderCtrl::scrolled, slider, [this] { NotifyValues(); }))
    {
    }
    ~CRangeSliderAccessible() override
    {
        QObject::disconnect(m_notify);
        for (const QAccessible::Id id : std::as_const(m_markers))
            QAccessible::deleteAccessibleInterface(id);
    }

    CRangeSliderCtrl* Slider() const { return static_cast<CRangeSliderCtrl*>(widget()); }

    int childCount() const override { return Slider()->GetMarkerCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (m_markers.size() <= index)
            m_markers << QAccessible::registerAccessibleInterface(new CMarkerAccessible(Slider(), int(m_markers.size())));
        return QAccessible::accessibleInterface(m_markers[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < m_markers.size() && i < childCount(); ++i)
            if (QAccessible::accessibleInterface(m_markers[i]) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* marker = child(i); marker->rect().contains(x, y))
                return marker;
        return nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description && Wraps(*Slider()))
            return QStringLiteral("wraps around the ends");
        return QAccessibleWidget::text(t);
    }

    // A range with alternating colours can be made to wrap around the ends
    // and back, as dragging one marker past the other does.
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (CanWrap())
            names.prepend(toggleAction());
        return names;
    }
    void doAction(const QString& action) override
    {
        if (action == toggleAction() && CanWrap())
            Slider()->ToggleWrap();
        else
            QAccessibleWidget::doAction(action);
    }
    QString localizedActionDescription(const QString& action) const override
    {
        if (action == toggleAction())
            return QStringLiteral("Wrap the range around the ends, or stop wrapping");
        return QAccessibleWidget::localizedActionDescription(action);
    }

private:
    bool CanWrap() const
    {
        return (Slider()->GetStyle() & RSS_ALTERNATECOLORS) != 0 && Slider()->GetMarkerCount() == 2;
    }

    // Tells the bridge of every marker whose value changed.
    void NotifyValues()
    {
        if (!QAccessible::isActive())
            return;
        const std::vector<float> values = Values(*Slider());
        for (int i = 0; i < int(values.size()); ++i) {
            if (i < int(m_lastValues.size()) && m_lastValues[size_t(i)] == values[size_t(i)])
                continue;
            QAccessibleValueChangeEvent event(child(i), double(values[size_t(i)]));
            QAccessible::updateAccessibility(&event);
        }
        m_lastValues = values;
    }

    mutable QList<QAccessible::Id> m_markers;
    std::vector<float> m_lastValues;
    QMetaObject::Connection m_notify;
};

} // namespace

QAccessibleInterface* MakeRangeSliderAccessible(QObject* object)
{
    if (auto* slider = qobject_cast<CRangeSliderCtrl*>(object))
        return new CRangeSliderAccessible(slider);
    return nullptr;
}

} // namespace quorrel::controls
