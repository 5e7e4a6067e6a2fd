#include "controls/GridInPlaceEdit.h"

#include "controls/GridCell.h"

#include <QKeyEvent>

namespace quorrel::controls {

namespace {

bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

} // namespace

CGridInPlaceEdit::CGridInPlaceEdit(QWidget* parent, const QRect& rect, const QFont& font, uint32_t nFormat, int nRow,
                                   int nColumn, const QString& text, int nFirstChar, EndHandler onEnd)
    : QLineEdit(parent)
    , m_nRow(nRow)
    , m_nColumn(nColumn)
    , m_strInitText(text)
    , m_bExitOnArrows(nFirstChar != 0)
    , m_rect(rect)
    , m_onEnd(std::move(onEnd))
{
    setObjectName(QStringLiteral("CGridInPlaceEdit"));
    setFrame(true);
    setFont(font);
    if (nFormat & DT_RIGHT)
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    else if (nFormat & DT_CENTER)
        setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    else
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setGeometry(rect);
    setText(text);
    setFocus(Qt::OtherFocusReason);

    switch (nFirstChar) {
    case 0:
    case '\r':
        end(false); // caret after the text
        break;
    case '\b':
        end(false);
        backspace();
        break;
    case '\t':
    case ' ':
        selectAll();
        break;
    default:
        if (IsNavigationKey(nFirstChar)) {
            selectAll();
        } else {
            // Any other character replaces the whole text.
            selectAll();
            insert(QString(QChar(char32_t(nFirstChar))));
        }
        break;
    }
    connect(this, &QLineEdit::textEdited, this, [this] { FitToText(); });
    FitToText();
    show();
}

void CGridInPlaceEdit::FitToText()
{
    // Widen to the text plus two blanks, never past the parent's right edge
    // and never narrower than the cell.
    const QFontMetrics fm(font());
    const int wanted = fm.horizontalAdvance(text() + QStringLiteral("  ")) + 2 * 3;
    const int maxWidth = parentWidget() ? parentWidget()->width() - m_rect.left() : wanted;
    const int w = std::max(m_rect.width(), std::min(wanted, maxWidth));
    if (w != width())
        resize(w, m_rect.height());
}

bool CGridInPlaceEdit::event(QEvent* e)
{
    // Tab belongs to the edit, not to the dialog's focus chain.
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            keyPressEvent(k);
            return true;
        }
    }
    if (e->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Escape || k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            e->accept();
            return true;
        }
    }
    return QLineEdit::event(e);
}

void CGridInPlaceEdit::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (key == Qt::Key_Tab && (e->modifiers() & Qt::ShiftModifier)) {
        EndEdit(Qt::Key_Backtab);
        return;
    }
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter) {
        EndEdit(key == Qt::Key_Enter ? int(Qt::Key_Return) : key);
        return;
    }
    if (key == Qt::Key_Escape) {
        setText(m_strInitText);
        EndEdit(key);
        return;
    }
    if (IsNavigationKey(key)) {
        if (m_bExitOnArrows || ctrl) {
            EndEdit(key);
            return;
        }
        // Started by the mouse: the keys move the caret within the line.
        if (key == Qt::Key_Up)
            cursorBackward(e->modifiers() & Qt::ShiftModifier);
        else if (key == Qt::Key_Down)
            cursorForward(e->modifiers() & Qt::ShiftModifier);
        else if (key == Qt::Key_Left || key == Qt::Key_Right)
            QLineEdit::keyPressEvent(e);
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
    e->accept();
}

void CGridInPlaceEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    EndEdit(m_nLastKey);
}

void CGridInPlaceEdit::EndEdit(int nLastKey)
{
    if (m_bEnded)
        return;
    m_bEnded = true;
    m_nLastKey = nLastKey;
    const QString finalText = text();
    EndHandler onEnd = std::move(m_onEnd);
    // The owner hears of the end first, so that it can take the focus back
    // before this box disappears.
    if (onEnd)
        onEnd(m_nRow, m_nColumn, finalText, nLastKey);
    hide();
    deleteLater();
}

} // namespace quorrel::controls
