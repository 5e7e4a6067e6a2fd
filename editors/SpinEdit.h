#pragma once
// An edit box with an attached up/down spin. The box takes only digits as
// typed; pasted text is free (the page validates it when it stores, so
// "200px" can be pasted and refused with a message). The arrows and the
// Up/Down keys step the value read from the start of the text within the
// spin's range and write it back as plain digits. Box and arrows are one
// control and are enabled and disabled together.

#include <QAbstractSpinBox>

namespace quorrel::editors {

class CSpinEdit final : public QAbstractSpinBox {
    Q_OBJECT
    // Read by screen readers (the spin box's value and range) and set
    // through them.
    Q_PROPERTY(int value READ value WRITE setValue)
    Q_PROPERTY(int minimum READ minimum)
    Q_PROPERTY(int maximum READ maximum)
public:
    explicit CSpinEdit(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_nMin; }
    int maximum() const { return m_nMax; }

    // The spin's position: the number at the start of the text, kept within
    // the range (the minimum when there is none).
    int value() const;
    // Moves the spin and writes the value into the box.
    void setValue(int value);

    QString text() const;
    void setText(const QString& text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

signals:
    void textChanged(const QString& text);

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_nMin = 0;
    int m_nMax = 99;
};

} // namespace quorrel::editors
