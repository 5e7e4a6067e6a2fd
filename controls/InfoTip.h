#pragma once

#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

namespace quorrel::controls {

// A small frameless pop-up that shows a short text near the pointer without
// taking the focus. The text may hold several lines separated by line feeds:
// an empty line shows as one blank, a line starting with a carriage return
// gets a separator above it, and a line starting with a bell character and
// two digits shows that picture of the attached list at its left.
class CInfoTip final : public QWidget {
    Q_OBJECT
public:
    explicit CInfoTip(QWidget* owner = nullptr);

    // Sets the text and resizes the window to fit it.
    void SetText(const QString& text);
    QString GetText() const { return m_strText; }

    // Shows the text with the window's top-left corner at a global point,
    // kept on the screen; nothing happens when text and point are unchanged.
    void Show(const QString& text, QPoint ptGlobal);
    // Hides the window and forgets the text.
    void Hide();

    void SetImageList(const QVector<QPixmap>& images);
    // A drop shadow along the right and bottom edges (5 pixels).
    void SetShadow(bool bShadow);

    // Size the window takes for the current text.
    QSize TipSize() const { return m_size; }

    static constexpr int kShadowSize = 5;
    static constexpr int kSeparatorExtra = 5;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Line {
        QString text;
        int image = -1;
        bool separator = false;
    };
    static Line ParseLine(const QString& raw);
    int LineHeight() const;
    QSize ComputeSize() const;

    QString m_strText;
    QVector<Line> m_lines;
    QVector<QPixmap> m_images;
    QPoint m_ptLast;
    bool m_bShadow = false;
    bool m_bExposed = false;   // the window was exposed since it was last shown
    QSize m_size;
};

} // namespace quorrel::controls
