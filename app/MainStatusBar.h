#pragma once
// The main window's status bar: the message pane, the progress pane (120
// px), the pointer position with its icon (90 px), the colour pane (60 px)
// and the lock-key panes; the progress and colour indicators that are laid
// over panes 1 and 3 on first use and follow them when the bar is resized.

#include <QStatusBar>

#include <array>
#include <cstdint>
#include <vector>

class QLabel;
class QTextOption;
class QProgressBar;

namespace quorrel::app {

class CColorStatic;

class CMainStatusBar final : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPaneCount = 7;
    static constexpr int kProgressId = 550;
    static constexpr int kColorId = 551;

    explicit CMainStatusBar(QWidget* parent = nullptr);

    // Pane 0 is the message pane.
    void SetPaneText(int pane, const QString& text);
    QString GetPaneText(int pane) const;
    QRect GetItemRect(int pane) const;
    QWidget* Pane(int pane) const;

    // The first call only creates the bar (empty); later calls set it.
    void SetProgress(int percent);
    void ShowPixelColor(uint32_t color);

    // "CAP", "NUM", "SCRL" while the key is on; blank where the platform
    // cannot tell.
    void UpdateKeyStates();

    // The active view's zoom factor as a percentage ("200 %"); 0 leaves the
    // pane blank (no document window).
    void ShowZoom(int factor);
    QString ZoomText() const;
    // "Continuous Colours" while the active view renders that way; no pane
    // otherwise.
    void ShowRenderWay(bool continuous);
    QString RenderWayText() const;
    // Back to the read-out of a start: position "0, 0", the colour pane's
    // own text and no colour indicator (another view became active).
    void ResetReadout();

    QProgressBar* ProgressIndicator() const { return m_pProgress; }
    CColorStatic* ColorIndicator() const { return m_pColor; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The message is not cut: one that does not fit beside the panes (a
    // narrow window) is shown in a band above them, wrapped as needed.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceIndicators();
    QRect MessageRect() const;
    static QTextOption MessageOption();
    // The panes on show, the indicators laid over them left out.
    std::vector<QWidget*> Panes() const;
    void FitMessage();
    int MessageHeight(const QString& text, int width) const;

    std::array<QLabel*, kPaneCount> m_panes{};
    QWidget* m_pPositionPane = nullptr;
    QLabel* m_pZoomPane = nullptr;
    QLabel* m_pRenderWayPane = nullptr;
    QProgressBar* m_pProgress = nullptr;
    CColorStatic* m_pColor = nullptr;
    int m_nMessageBand = 0;   // height of the message's own band above the panes
};

} // namespace quorrel::app
