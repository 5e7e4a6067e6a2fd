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

    QString Name() const
    {
        QString group = m_pSlider->accessibleName();
        if (group.isEmpty())
            group = QStringLiteral("Range");
        const int count = m_pSlider->GetMarkerCount();
        if (count == 1)
            return group;
        if (count == 2)
            return group + (m_nIndex == 0 ? QStringLiteral(", lower marker") : QStringLiteral(", upper marker"));
        return group + QStringLiteral(", marker %1 of %2").arg(m_nIndex + 1).arg(count);
    }

    QPointer<CRangeSliderCtrl> m_pSlider;
    int m_nIndex;
};

class CRangeSliderAccessible final : public QAccessibleWidget {
public:
    explicit CRangeSliderAccessible(CRangeSliderCtrl* slider) : QAccessibleWidget(slider, QAccessible::Grouping) {}
    ~CRangeSliderAccessible() override
    {
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

    // Tells the bridge the values of all markers may have changed.
    void NotifyValues()
    {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* marker = child(i);
            QAccessibleValueChangeEvent event(marker, marker->valueInterface()->currentValue());
            QAccessible::updateAccessibility(&event);
        }
    }

private:
    mutable QList<QAccessible::Id> m_markers;
};

} // namespace

QAccessibleInterface* MakeRangeSliderAccessible(QObject* object)
{
    auto* slider = qobject_cast<CRangeSliderCtrl*>(object);
    if (!slider)
        return nullptr;
    QObject::connect(slider, &CRangeSliderCtrl::scrolled, slider, [slider] {
        if (!QAccessible::isActive())
            return;
        if (auto* group = dynamic_cast<CRangeSliderAccessible*>(QAccessible::queryAccessibleInterface(slider)))
            group->NotifyValues();
    });
    return new CRangeSliderAccessible(slider);
}

} // namespace quorrel::controls
