#include "controls/accessible/GridAccessible.h"

#include "controls/GridCell.h"
#include "controls/GridCtrl.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

namespace quorrel::controls {

namespace {

class CGridAccessible;

// One cell, header cells included; it looks its grid up each time, so a grid
// that shrank or went leaves it merely invalid.
class CGridCellAccessible final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CGridCellAccessible(CGridCtrl* grid, int row, int col) : m_pGrid(grid), m_nRow(row), m_nCol(col) {}

    bool isValid() const override
    {
        return m_pGrid && m_nRow < m_pGrid->GetRowCount() && m_nCol < m_pGrid->GetColumnCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_pGrid ? m_pGrid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_pGrid.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QAccessible::Role role() const override
    {
        if (!isValid())
            return QAccessible::Cell;
        if (m_nRow < m_pGrid->GetFixedRowCount())
            return QAccessible::ColumnHeader;
        if (m_nCol < m_pGrid->GetFixedColumnCount())
            return QAccessible::RowHeader;
        return QAccessible::Cell;
    }

    // The name is the cell's text; the description its row's and column's
    // headers ("Red, Green" in the correlations, "2, 3" in a coefficient
    // table), and the name too when the cell is empty.
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        const QString own = m_pGrid->GetItemText(m_nRow, m_nCol);
        switch (t) {
        case QAccessible::Name:
            return own.trimmed().isEmpty() && role() == QAccessible::Cell ? Headers() : own;
        case QAccessible::Value:
            return own;
        case QAccessible::Description:
            return role() == QAccessible::Cell ? Headers() : QString();
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        QRect cell;
        if (!isValid() || !m_pGrid->GetCellRect(m_nRow, m_nCol, cell))
            return {};
        return QRect(m_pGrid->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.focusable = role() == QAccessible::Cell;
        s.selectable = s.focusable;
        s.selected = m_pGrid->IsCellSelected(m_nRow, m_nCol);
        s.focused = m_pGrid->hasFocus() && m_pGrid->GetFocusCell() == CCellID{m_nRow, m_nCol};
        s.readOnly = role() != QAccessible::Cell || !m_pGrid->IsEditable()
                     || (m_pGrid->GetItemState(m_nRow, m_nCol) & GCS_READONLY) != 0;
        s.editable = !s.readOnly;
        QRect cell;
        s.invisible = !m_pGrid->isVisible();
        s.offscreen = !m_pGrid->GetCellRect(m_nRow, m_nCol, cell);
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    // The table's coordinates leave the header rows and columns out.
    bool isSelected() const override { return isValid() && m_pGrid->IsCellSelected(m_nRow, m_nCol); }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return HeaderCells(true); }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return HeaderCells(false); }
    int columnIndex() const override { return m_pGrid ? m_nCol - m_pGrid->GetFixedColumnCount() : -1; }
    int rowIndex() const override { return m_pGrid ? m_nRow - m_pGrid->GetFixedRowCount() : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    // The header cells above the cell (`column`) or left of it.
    QList<QAccessibleInterface*> HeaderCells(bool column) const;
    QString Headers() const
    {
        QStringList parts;
        for (int c = 0; c < m_pGrid->GetFixedColumnCount(); ++c)
            parts << m_pGrid->GetItemText(m_nRow, c);
        for (int r = 0; r < m_pGrid->GetFixedRowCount(); ++r)
            parts << m_pGrid->GetItemText(r, m_nCol);
        parts.removeAll(QString());
        if (parts.isEmpty())
            return QStringLiteral("Row %1, column %2").arg(rowIndex() + 1).arg(columnIndex() + 1);
        return parts.join(QStringLiteral(", "));
    }

    QPointer<CGridCtrl> m_pGrid;
    int m_nRow;
    int m_nCol;
};

class CGridAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CGridAccessible(CGridCtrl* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~CGridAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_cells))
            QAccessible::deleteAccessibleInterface(id);
    }

    CGridCtrl* Grid() const { return static_cast<CGridCtrl*>(widget()); }

    // Every cell of the grid, row by row, header cells included.
    int childCount() const override { return Grid()->GetRowCount() * Grid()->GetColumnCount(); }
    QAccessibleInterface* child(int index) const override
    {
        const int cols = Grid()->GetColumnCount();
        if (index < 0 || cols == 0 || index >= childCount())
            return nullptr;
        return Cell(index / cols, index % cols);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        auto* cell = child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
        if (!cell)
            return -1;
        return (cell->rowIndex() + Grid()->GetFixedRowCount()) * Grid()->GetColumnCount() + cell->columnIndex()
               + Grid()->GetFixedColumnCount();
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const CCellID id = Grid()->GetCellFromPt(Grid()->viewport()->mapFromGlobal(QPoint(x, y)));
        return id.IsValid() ? Cell(id.row, id.col) : nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty())
            text = QStringLiteral("Table");
        return text;
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The table without its header rows and columns.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        const int r = row + Grid()->GetFixedRowCount();
        const int c = column + Grid()->GetFixedColumnCount();
        if (row < 0 || column < 0 || r >= Grid()->GetRowCount() || c >= Grid()->GetColumnCount())
            return nullptr;
        return Cell(r, c);
    }
    int columnCount() const override { return Grid()->GetColumnCount() - Grid()->GetFixedColumnCount(); }
    int rowCount() const override { return Grid()->GetRowCount() - Grid()->GetFixedRowCount(); }
    QString columnDescription(int column) const override
    {
        return Grid()->GetFixedRowCount() > 0 ? Grid()->GetItemText(0, column + Grid()->GetFixedColumnCount())
                                              : QString();
    }
    QString rowDescription(int row) const override
    {
        return Grid()->GetFixedColumnCount() > 0 ? Grid()->GetItemText(row + Grid()->GetFixedRowCount(), 0)
                                                 : QString();
    }
    int selectedCellCount() const override { return Grid()->GetSelectedCount(); }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        for (int r = Grid()->GetFixedRowCount(); r < Grid()->GetRowCount(); ++r)
            for (int c = Grid()->GetFixedColumnCount(); c < Grid()->GetColumnCount(); ++c)
                if (Grid()->IsCellSelected(r, c))
                    cells << Cell(r, c);
        return cells;
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    // One interface a cell, made when first asked for and kept with the table.
    QAccessibleInterface* Cell(int row, int col) const
    {
        const qint64 key = qint64(row) << 32 | uint32_t(col);
        if (const auto found = m_cells.constFind(key); found != m_cells.constEnd())
            return QAccessible::accessibleInterface(found.value());
        auto* cell = new CGridCellAccessible(Grid(), row, col);
        m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }

private:
    mutable QHash<qint64, QAccessible::Id> m_cells;
};

QList<QAccessibleInterface*> CGridCellAccessible::HeaderCells(bool column) const
{
    QList<QAccessibleInterface*> headers;
    auto* grid = isValid() ? static_cast<CGridAccessible*>(parent()) : nullptr;
    const int count = !grid ? 0 : column ? m_pGrid->GetFixedRowCount() : m_pGrid->GetFixedColumnCount();
    for (int i = 0; i < count; ++i)
        headers << (column ? grid->Cell(i, m_nCol) : grid->Cell(m_nRow, i));
    return headers;
}

} // namespace

QAccessibleInterface* MakeGridAccessible(QObject* object)
{
    if (auto* grid = qobject_cast<CGridCtrl*>(object))
        return new CGridAccessible(grid);
    return nullptr;
}

} // namespace quorrel::controls
