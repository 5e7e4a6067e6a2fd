#pragma once
// The "RGB" and "HSL" boxes: they show three states (all, some or none of
// their group ticked) but a click only ever ticks a cleared box or clears a
// ticked or indeterminate one.

#include <QCheckBox>

namespace quorrel::editors {

class CGroupCheckBox final : public QCheckBox {
    Q_OBJECT
public:
    explicit CGroupCheckBox(const QString& text, QWidget* parent = nullptr)
        : QCheckBox(text, parent)
    {
        setTristate(true);
    }

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
    }
};

} // namespace quorrel::editors
