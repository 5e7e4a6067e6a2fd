#pragma once

#include "controls/ColorRef.h"
#include "controls/GridCell.h"
#include "controls/GridClipboardText.h"
#include "controls/GridInPlaceEdit.h"
#include "controls/GridItem.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPixmap>
#include <QPointer>
#include <QVector>
#include <QSet>

#include <cstdint>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace quorrel::controls {

// Notification codes, carried by the signals below.
inline constexpr int GRIDN_SELCHANGING = -100;
inline constexpr int GRIDN_SELCHANGED = -101;
inline constexpr int GRIDN_BEGINEDIT = -105;
inline constexpr int GRIDN_ENDEDIT = -106;

struct CCellID final {
    int row = -1;
    int col = -1;
    bool IsValid() const { return row >= 0 && col >= 0; }
    bool operator==(const CCellID&) const = default;
};

// An editable table of text cells. The first rows and columns can be fixed:
// they are drawn as headers and stay in place while the rest scrolls. Cells
// are edited in place, selected with mouse and keyboard, copied, cut and
// pasted as text; rows and columns are resized by dragging their dividers in
// the headers. Scrolling goes by whole rows and columns.
class CGridCtrl : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // Structure. Adding rows or columns may throw std::bad_alloc.
    bool SetRowCount(int nRows);
    bool SetColumnCount(int nCols);
    bool SetFixedRowCount(int nFixedRows);
    bool SetFixedColumnCount(int nFixedCols);
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    bool SetRowHeight(int nRow, int nHeight);
    bool SetColumnWidth(int nCol, int nWidth);
    int GetRowHeight(int nRow) const;
    int GetColumnWidth(int nCol) const;
    // Every column as wide and every row as high as its largest cell.
    void AutoSize();

    void SetEditable(bool bEditable) { m_bEditable = bEditable; }
    bool IsEditable() const { return m_bEditable; }
    void SetListMode(bool bListMode) { m_bListMode = bListMode; }
    bool GetListMode() const { return m_bListMode; }
    void SetHandleTabKey(bool bHandle) { m_bHandleTabKey = bHandle; }
    bool GetHandleTabKey() const { return m_bHandleTabKey; }
    void SetRowResize(bool bResize) { m_bAllowRowResize = bResize; }
    void SetColumnResize(bool bResize) { m_bAllowColumnResize = bResize; }
    bool GetRowResize() const { return m_bAllowRowResize; }
    bool GetColumnResize() const { return m_bAllowColumnResize; }
    // Structural changes repaint only while redraw is on.
    void SetRedraw(bool bAllowDraw);

    // Cells.
    bool SetItem(const CGridItem& item);
    bool GetItem(CGridItem& item) const;
    virtual bool SetItemText(int nRow, int nCol, const QString& text);
    virtual QString GetItemText(int nRow, int nCol) const;
    bool SetItemState(int nRow, int nCol, uint32_t state);
    uint32_t GetItemState(int nRow, int nCol) const;
    bool SetItemFormat(int nRow, int nCol, uint32_t nFormat);
    uint32_t GetItemFormat(int nRow, int nCol) const;
    bool SetItemBackColor(int nRow, int nCol, uint32_t cr);
    bool SetItemTextColor(int nRow, int nCol, uint32_t cr);
    void SetModified(bool bModified = true, int nRow = -1, int nCol = -1);
    bool GetModified(int nRow = -1, int nCol = -1) const;
    const CGridCell* GetCell(int nRow, int nCol) const;

    // Pictures a cell shows at its left by its image index.
    void SetImageList(const QVector<QPixmap>& images) { m_images = images; viewport()->update(); }

    // Colours (0x00BBGGRR).
    void SetTextColor(uint32_t cr) { m_crText = cr; viewport()->update(); }
    void SetTextBkColor(uint32_t cr) { m_crTextBk = cr; viewport()->update(); }
    void SetFixedTextColor(uint32_t cr) { m_crFixedText = cr; viewport()->update(); }
    void SetFixedBkColor(uint32_t cr) { m_crFixedBk = cr; viewport()->update(); }
    void SetBkColor(uint32_t cr) { m_crBk = cr; viewport()->update(); }
    void SetGridColor(uint32_t cr) { m_crGrid = cr; viewport()->update(); }
    uint32_t GetTextColor() const { return m_crText; }
    uint32_t GetTextBkColor() const { return m_crTextBk; }
    uint32_t GetFixedTextColor() const { return m_crFixedText; }
    uint32_t GetFixedBkColor() const { return m_crFixedBk; }
    uint32_t GetBkColor() const { return m_crBk; }
    uint32_t GetGridColor() const { return m_crGrid; }
    static constexpr uint32_t kGridLineColor = 0xC0C0C0u;

    // Focus cell and selection.
    CCellID GetFocusCell() const { return m_idCurrentCell; }
    void SetFocusCell(int nRow, int nCol);
    bool IsCellSelected(int nRow, int nCol) const;
    GridCellRange GetSelectedCellRange() const;
    int GetSelectedCount() const { return int(m_selected.size()); }
    void SetSelectedRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol, bool bForceRepaint = false);
    void ResetSelectedRange();
    void EnsureVisible(int nRow, int nCol);
    bool IsCellVisible(int nRow, int nCol) const;
    // The cell's rectangle in viewport coordinates; false when it is scrolled
    // out of the visible area.
    bool GetCellRect(int nRow, int nCol, QRect& rect) const;
    CCellID GetCellFromPt(QPoint pt) const;
    CCellID GetTopLeftNonFixedCell() const;

    // Edits the focus cell or any other, as a click or key would.
    void EditCell(int nRow, int nCol, int nFirstChar);
    bool IsEditing() const { return !m_pEdit.isNull(); }
    CGridInPlaceEdit* GetInPlaceEdit() const { return m_pEdit.data(); }

    // Clipboard text of the current selection.
    QString CopyTextFromSelection() const;
    // Writes clipboard text into the cells from the focus cell on.
    void PasteTextToGrid(const QString& text);

    int GetWheelScrollLines() const { return m_nRowsPerWheelNotch; }
    void SetWheelScrollLines(int nLines) { m_nRowsPerWheelNotch = nLines; }
    int GetCellMargin() const { return m_nMargin; }
    int GetDefaultRowHeight() const { return m_nDefCellHeight; }
    int GetDefaultColumnWidth() const { return m_nDefCellWidth; }

    // Prints every row over as many pages as needed, the header rows repeated
    // at the top of each page and a "Page %d of %d" footer.
    void Print(QPagedPaintDevice& device);
    // Number of pages Print makes for the device.
    int PrintPageCount(QPagedPaintDevice& device) const;

    static constexpr int kResizeCaptureRange = 3;
    static constexpr int kAutoScrollInterval = 25;

public slots:
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnEditSelectAll();

signals:
    void selChanging(int row, int col); // GRIDN_SELCHANGING
    void selChanged(int row, int col);  // GRIDN_SELCHANGED
    void beginEdit(int row, int col);   // GRIDN_BEGINEDIT
    void endEdit(int row, int col);     // GRIDN_ENDEDIT

protected:
    virtual CGridCell* CreateCell(int nRow, int nCol);
    virtual void DestroyCell(int nRow, int nCol);

    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void changeEvent(QEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    enum class MouseMode { None, SelectingCells, SelectingRows, SelectingCols, SizingColumn, SizingRow, PrepareEdit };

    CGridCell* Cell(int nRow, int nCol) const;
    bool IsValid(int nRow, int nCol) const { return nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols; }
    bool IsCellEditable(int nRow, int nCol) const;
    bool IsFixed(int nRow, int nCol) const { return nRow < m_nFixedRows || nCol < m_nFixedCols; }
    static uint32_t Key(int nRow, int nCol) { return uint32_t(nCol) * 65536u + uint32_t(nRow); }

    void ApplyFont(const QFont& font);
    void Refresh();
    void UpdateScrollBars();
    int TopRow() const;
    int LeftCol() const;
    int FixedRowHeight() const;
    int FixedColumnWidth() const;
    int RowTop(int nRow) const;
    int ColLeft(int nCol) const;
    int LastVisibleRow(bool bFully) const;
    int LastVisibleCol(bool bFully) const;
    int ColumnDividerAt(QPoint pt) const;
    int RowDividerAt(QPoint pt) const;
    CCellID ClampToScrolling(CCellID cell) const;

    void SelectRect(CCellID a, CCellID b);
    // A dialog owns Enter and Escape while no edit is open.
    bool IsInDialog() const;
    void MoveFocusByKey(int key, Qt::KeyboardModifiers mods, bool bFromEdit);
    void ClearCell(int nRow, int nCol);
    void OnEndInPlaceEdit(int nRow, int nCol, const QString& text, int nLastKey);
    void AutoScrollStep();

    void DrawCell(QPainter& p, int nRow, int nCol, const QRect& rect) const;
    struct PrintLayout;
    PrintLayout LayoutPages(QPagedPaintDevice& device) const;

    int m_nRows = 0;
    int m_nCols = 0;
    int m_nFixedRows = 0;
    int m_nFixedCols = 0;
    std::vector<uint32_t> m_arRowHeights;
    std::vector<uint32_t> m_arColWidths;
    std::vector<std::vector<CGridCell*>> m_RowData;

    CCellID m_idCurrentCell;
    CCellID m_SelectionStartCell;
    QSet<uint32_t> m_selected;
    QSet<uint32_t> m_prevSelected;

    uint32_t m_crText;
    uint32_t m_crTextBk;
    uint32_t m_crFixedBk;
    uint32_t m_crFixedText;
    uint32_t m_crBk;
    uint32_t m_crGrid = kGridLineColor;

    int m_nMargin = 0;
    int m_nDefCellHeight = 10;
    int m_nDefCellWidth = 30;
    QFont m_font;

    bool m_bEditable = true;
    bool m_bListMode = false;
    bool m_bHandleTabKey = true;
    bool m_bAllowRowResize = true;
    bool m_bAllowColumnResize = true;
    bool m_bAllowDraw = true;
    bool m_bModified = false;
    int m_nRowsPerWheelNotch = 3;

    MouseMode m_mouseMode = MouseMode::None;
    CCellID m_LeftClickDownCell;
    QPoint m_LastMousePoint;
    int m_nResizeIndex = -1;
    int m_nResizeLine = -1;
    QBasicTimer m_autoScroll;
    QPointer<CGridInPlaceEdit> m_pEdit;
    QVector<QPixmap> m_images;
};

} // namespace quorrel::controls
