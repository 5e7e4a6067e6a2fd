#pragma once

#include <QLineEdit>

#include <cstdint>
#include <functional>

namespace quorrel::controls {

// The edit box a CGridCtrl opens over a cell. It ends on Tab, Enter, Escape
// (which restores the starting text), on the arrow and page keys when it was
// started by a key or Ctrl is held, and whenever it loses the focus; it then
// reports row, column, text and the ending key once and closes itself.
class CGridInPlaceEdit final : public QLineEdit {
    Q_OBJECT
public:
    // Receives (row, column, text, ending key: a Qt::Key, or 0 for a plain
    // loss of focus).
    using EndHandler = std::function<void(int, int, const QString&, int)>;

    // nFirstChar says what started the edit: 0 for the mouse, '\r' for Enter,
    // '\b' for Backspace, '\t' or ' ' or a Qt::Key navigation key (all text
    // selected), any other character (it replaces the text).
    CGridInPlaceEdit(QWidget* parent, const QRect& rect, const QFont& font, uint32_t nFormat, int nRow, int nColumn,
                     const QString& text, int nFirstChar, EndHandler onEnd);

    static constexpr int kId = 8;

    int Row() const { return m_nRow; }
    int Column() const { return m_nColumn; }
    bool StartedByKey() const { return m_bExitOnArrows; }

    // Ends the edit as if the given key had been pressed (0: focus loss).
    void EndEdit(int nLastKey);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void FitToText();

    int m_nRow;
    int m_nColumn;
    QString m_strInitText;
    int m_nLastKey = 0;
    bool m_bExitOnArrows;
    bool m_bEnded = false;
    QRect m_rect;
    EndHandler m_onEnd;
};

} // namespace quorrel::controls
