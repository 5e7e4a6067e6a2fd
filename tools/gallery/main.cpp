// quorrel-gallery: the range slider and the grid control as the editors use
// them. "--page N" opens the Nth tab; with "--grab FILE" it saves a picture
// of its window and quits.

#include "GalleryWindow.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    GalleryWindow window;
    window.resize(460, 560);
    window.show();
    const QStringList args = app.arguments();
    const int page = args.indexOf(QStringLiteral("--page"));
    if (page > 0 && page + 1 < args.size())
        window.ShowPage(args[page + 1].toInt());
    const int grab = args.indexOf(QStringLiteral("--grab"));
    if (grab > 0 && grab + 1 < args.size()) {
        const QString file = args[grab + 1];
        QTimer::singleShot(300, &window, [&window, file] {
            window.grab().save(file);
            QApplication::quit();
        });
    }
    return app.exec();
}
