// The grid's keys, in-place editing and clipboard commands.

#include "controls/GridCtrl.h"

#include "controls/GridInPlaceEdit.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

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
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

enum class ClipboardKey { None, Copy, Cut, Paste, SelectAll };

// The grid's clipboard keys: Ctrl+C and Ctrl+Insert copy, Ctrl+X and
// Shift+Delete cut, Ctrl+V and Shift+Insert paste, Ctrl+A selects all.
ClipboardKey ClipboardKeyOf(int key, Qt::KeyboardModifiers mods)
{
    mods &= ~Qt::KeypadModifier;
    if (mods & Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_C:
        case Qt::Key_Insert: return ClipboardKey::Copy;
        case Qt::Key_X: return ClipboardKey::Cut;
        case Qt::Key_V: return ClipboardKey::Paste;
        case Qt::Key_A: return ClipboardKey::SelectAll;
        default: return ClipboardKey::None;
        }
    }
    if (mods == Qt::ShiftModifier) {
        if (key == Qt::Key_Delete)
            return ClipboardKey::Cut;
        if (key == Qt::Key_Insert)
            return ClipboardKey::Paste;
    }
    return ClipboardKey::None;
}

} // namespace

// ---------------------------------------------------------------- keyboard

bool CGridCtrl::event(QEvent* e)
{
    // Tab moves between cells instead of to the next control while Tab
    // navigation is on and Ctrl is not held.
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) && m_bHandleTabKey
            && !(k->modifiers() & Qt::ControlModifier)) {
            keyPressEvent(k);
            return true;
        }
    }
    if (e->type() == QEvent::ShortcutOverride) {
        // The grid's own clipboard keys win over application shortcuts.
        auto* k = static_cast<QKeyEvent*>(e);
        if (ClipboardKeyOf(k->key(), k->modifiers()) != ClipboardKey::None) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void CGridCtrl::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    const Qt::KeyboardModifiers mods = e->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;

    switch (ClipboardKeyOf(key, mods)) {
    case ClipboardKey::Copy: OnEditCopy(); return;
    case ClipboardKey::Cut: OnEditCut(); return;
    case ClipboardKey::Paste: OnEditPaste(); return;
    case ClipboardKey::SelectAll: OnEditSelectAll(); return;
    case ClipboardKey::None: break;
    }
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && (ctrl || !m_bHandleTabKey)) {
        // Ctrl+Tab belongs to the window (a tabbed sheet turns its page).
        e->ignore();
        return;
    }
    if (IsNavigationKey(key)) {
        MoveFocusByKey(key, mods, false);
        e->accept();
        return;
    }
    if (key == Qt::Key_Delete) {
        const CCellID f = m_idCurrentCell;
        if (f.IsValid() && IsCellEditable(f.row, f.col))
            ClearCell(f.row, f.col);
        e->accept();
        return;
    }
    if (ctrl) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    if (IsInDialog() && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
        // In a dialog Enter presses the default button and Escape cancels:
        // the grid takes only arrows, characters and Tab there.
        e->ignore();
        return;
    }
    int ch = 0;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        ch = '\r';
    else if (key == Qt::Key_Backspace)
        ch = '\b';
    else if (!e->text().isEmpty() && e->text().at(0).isPrint())
        ch = int(e->text().at(0).unicode());
    if (ch == 0 || !m_idCurrentCell.IsValid()) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    EditCell(m_idCurrentCell.row, m_idCurrentCell.col, ch);
    e->accept();
}

bool CGridCtrl::IsInDialog() const
{
    return qobject_cast<const QDialog*>(window()) != nullptr;
}

void CGridCtrl::MoveFocusByKey(int key, Qt::KeyboardModifiers mods, bool bFromEdit)
{
    if (m_nRows <= m_nFixedRows || m_nCols <= m_nFixedCols)
        return;
    CCellID next = m_idCurrentCell;
    if (!next.IsValid())
        next = {m_nFixedRows, m_nFixedCols};
    QScrollBar* v = verticalScrollBar();
    switch (key) {
    case Qt::Key_Down:
        if (next.row < m_nRows - 1)
            ++next.row;
        break;
    case Qt::Key_Up:
        if (next.row > m_nFixedRows)
            --next.row;
        break;
    case Qt::Key_Right:
        if (next.col < m_nCols - 1)
            ++next.col;
        break;
    case Qt::Key_Left:
        if (next.col > m_nFixedCols)
            --next.col;
        break;
    case Qt::Key_Tab:
        if (mods & Qt::ShiftModifier) {
            if (next.col > m_nFixedCols) {
                --next.col;
            } else if (next.row > m_nFixedRows) {
                --next.row;
                next.col = m_nCols - 1;
            }
        } else if (next.col < m_nCols - 1) {
            ++next.col;
        } else if (next.row < m_nRows - 1) {
            ++next.row;
            next.col = m_nFixedCols;
        }
        break;
    case Qt::Key_Backtab:
        if (next.col > m_nFixedCols) {
            --next.col;
        } else if (next.row > m_nFixedRows) {
            --next.row;
            next.col = m_nCols - 1;
        }
        break;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        const int before = v->value();
        const int page = std::max(1, LastVisibleRow(true) - TopRow() + 1);
        v->setValue(before + (key == Qt::Key_PageDown ? page : -page));
        next.row = std::clamp(next.row + (v->value() - before), m_nFixedRows, m_nRows - 1);
        break;
    }
    case Qt::Key_Home:
        v->setValue(v->minimum());
        next.row = m_nFixedRows;
        break;
    case Qt::Key_End:
        v->setValue(v->maximum());
        next.row = m_nRows - 1;
        break;
    default:
        return;
    }

    const bool isTab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    SetFocusCell(next.row, next.col);
    m_prevSelected.clear();
    if ((mods & Qt::ShiftModifier) && !isTab && !bFromEdit && m_SelectionStartCell.IsValid()) {
        SelectRect(m_SelectionStartCell, next);
    } else {
        m_SelectionStartCell = next;
        SelectRect(next, next);
    }
    EnsureVisible(next.row, next.col);
}

void CGridCtrl::ClearCell(int nRow, int nCol)
{
    emit beginEdit(nRow, nCol);
    SetItemText(nRow, nCol, QString());
    SetModified(true, nRow, nCol);
    emit endEdit(nRow, nCol);
}

// ---------------------------------------------------------------- editing

void CGridCtrl::EditCell(int nRow, int nCol, int nFirstChar)
{
    if (!IsCellEditable(nRow, nCol))
        return;
    if (m_pEdit)
        m_pEdit->EndEdit(0);
    EnsureVisible(nRow, nCol);
    QRect rect;
    if (!GetCellRect(nRow, nCol, rect))
        return;
    emit beginEdit(nRow, nCol);
    const CGridCell* cell = Cell(nRow, nCol);
    if (nFirstChar == Qt::Key_Tab || nFirstChar == Qt::Key_Backtab)
        nFirstChar = '\t';
    // Clip the box to the visible area.
    rect = rect.intersected(viewport()->rect());
    auto* edit = new CGridInPlaceEdit(viewport(), rect, m_font, cell->m_nFormat, nRow, nCol, cell->m_strText, nFirstChar,
                                      [this](int r, int c, const QString& text, int lastKey) {
                                          OnEndInPlaceEdit(r, c, text, lastKey);
                                      });
    m_pEdit = edit;
}

void CGridCtrl::OnEndInPlaceEdit(int nRow, int nCol, const QString& text, int nLastKey)
{
    m_pEdit = nullptr;
    if (nLastKey != 0)
        setFocus(Qt::OtherFocusReason);
    if (CGridCell* cell = Cell(nRow, nCol)) {
        if (text != cell->m_strText) {
            SetItemText(nRow, nCol, text);
            SetModified(true, nRow, nCol);
        }
        SetFocusCell(nRow, nCol);
    }
    emit endEdit(nRow, nCol);
    if (nLastKey != 0 && IsNavigationKey(nLastKey) && nLastKey != Qt::Key_Home && nLastKey != Qt::Key_End) {
        MoveFocusByKey(nLastKey, Qt::NoModifier, true);
        if (m_idCurrentCell.IsValid())
            EditCell(m_idCurrentCell.row, m_idCurrentCell.col, nLastKey);
    }
    viewport()->update();
}

// ---------------------------------------------------------------- clipboard

QString CGridCtrl::CopyTextFromSelection() const
{
    return BuildClipboardText(
        GetSelectedCellRange(), [this](int r, int c) { return IsCellSelected(r, c); },
        [this](int r, int c) { return GetItemText(r, c); });
}

void CGridCtrl::OnEditCopy()
{
    if (m_selected.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(CopyTextFromSelection());
}

void CGridCtrl::OnEditCut()
{
    if (m_selected.isEmpty())
        return;
    OnEditCopy();
    const GridCellRange range = GetSelectedCellRange();
    for (int r = range.minRow; r <= range.maxRow; ++r)
        for (int c = range.minCol; c <= range.maxCol; ++c)
            if (IsCellSelected(r, c) && IsCellEditable(r, c))
                ClearCell(r, c);
    viewport()->update();
}

void CGridCtrl::OnEditPaste()
{
    PasteTextToGrid(QGuiApplication::clipboard()->text());
}

void CGridCtrl::PasteTextToGrid(const QString& text)
{
    const CCellID start = m_idCurrentCell;
    if (!start.IsValid() || text.isEmpty())
        return;
    const QVector<QStringList> lines = ParseClipboardText(text);
    for (int line = 0; line < lines.size(); ++line) {
        for (int piece = 0; piece < lines[line].size(); ++piece) {
            const int row = start.row + line;
            const int col = start.col + piece;
            if (!IsCellEditable(row, col))
                continue;
            emit beginEdit(row, col);
            SetItemText(row, col, lines[line][piece]);
            SetModified(true, row, col);
            if (CGridCell* cell = Cell(row, col))
                cell->m_nState &= ~GCS_SELECTED;
            m_selected.remove(Key(row, col));
            emit endEdit(row, col);
        }
    }
    viewport()->update();
}

} // namespace quorrel::controls
