#include "SpinEdit.h"

#include "TextParsing.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace quorrel::editors {

CSpinEdit::CSpinEdit(QWidget* parent)
    : QAbstractSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    setAccelerated(false);
    connect(lineEdit(), &QLineEdit::textChanged, this, &CSpinEdit::textChanged);
}

void CSpinEdit::setRange(int minimum, int maximum)
{
    m_nMin = minimum;
    m_nMax = std::max(minimum, maximum);
    update();
}

int CSpinEdit::value() const
{
    const std::optional<int64_t> parsed = ParseUnsignedText(text());
    if (!parsed)
        return m_nMin;
    return static_cast<int>(std::clamp<int64_t>(*parsed, m_nMin, m_nMax));
}

void CSpinEdit::setValue(int value)
{
    setText(QString::number(std::clamp(value, m_nMin, m_nMax)));
}

QString CSpinEdit::text() const
{
    return lineEdit()->text();
}

void CSpinEdit::setText(const QString& text)
{
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

void CSpinEdit::keyPressEvent(QKeyEvent* event)
{
    // A numbers-only box: a typed character other than a digit is dropped.
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && typed.size() == 1 && typed[0].isPrint() && !(typed[0] >= u'0' && typed[0] <= u'9')) {
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void CSpinEdit::stepBy(int steps)
{
    setValue(value() + steps);
    lineEdit()->selectAll();
}

QValidator::State CSpinEdit::validate(QString&, int&) const
{
    // Whatever is typed stays in the box until the page stores it.
    return QValidator::Acceptable;
}

void CSpinEdit::fixup(QString&) const
{
}

QAbstractSpinBox::StepEnabled CSpinEdit::stepEnabled() const
{
    // A disabled control's arrows are greyed and step nothing.
    if (isReadOnly() || !isEnabled())
        return StepNone;
    const int v = value();
    StepEnabled flags = StepNone;
    if (v > m_nMin)
        flags |= StepDownEnabled;
    if (v < m_nMax)
        flags |= StepUpEnabled;
    return flags;
}

} // namespace quorrel::editors
