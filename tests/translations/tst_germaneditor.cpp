// The editor under LANG=de_DE.UTF-8: the catalogues installed as main()
// installs them at start-up, then the menus, the property sheet and Qt's
// own buttons in German, each menu's accelerators taken once.

#include "EditorFixture.h"

#include "editors/QuorrelProp.h"
#include "editors/WizardPage.h"
#include "model/TileParams.h"
#include "translations/Translations.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <map>

using namespace quorrel;
using quorrel::test::EditorFixture;

namespace {

// The accelerator of a menu text ("Ö&ffnen..." -> 'f'), or 0.
QChar Accelerator(const QString& text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        ++i;
    }
    return QChar();
}

class GermanEditor : public EditorFixture {
protected:
    // Once, before the first window is made: the command table is built
    // in the language of its first use.
    static void SetUpTestSuite() { s_installed = translations::InstallTranslators(*QCoreApplication::instance()); }
    static inline int s_installed = 0;
};

TEST_F(GermanEditor, MenusAreGermanWithAnAcceleratorEach)
{
    ASSERT_EQ(QLocale().name(), QStringLiteral("de_DE")) << "run through ctest, which sets LANG=de_DE.UTF-8";
    EXPECT_EQ(translations::AvailableLanguages(), QStringList{QStringLiteral("de")});
    EXPECT_EQ(s_installed, 2) << "Qt's own catalogue (qt6-translations-l10n) and the editor's";
    ASSERT_TRUE(Start());

    QStringList titles;
    for (QAction* menuAction : Frame()->menuBar()->actions())
        titles << menuAction->text();
    EXPECT_EQ(titles, (QStringList{"&Datei", "&Bearbeiten", "&Ansicht", "&Fenster", "&Hilfe"}));

    std::map<QString, QStringList> items;
    std::map<QChar, QString> barKeys;
    for (QAction* menuAction : Frame()->menuBar()->actions()) {
        EXPECT_TRUE(barKeys.emplace(Accelerator(menuAction->text()), menuAction->text()).second)
            << menuAction->text().toStdString();
        std::map<QChar, QString> keys;
        for (QAction* item : menuAction->menu()->actions()) {
            if (item->isSeparator() || item->text().isEmpty())
                continue;
            const QString text = item->text().section(QLatin1Char('\t'), 0, 0);
            items[menuAction->text()] << text;
            const QChar key = Accelerator(text);
            if (key.isNull() || key.isDigit())   // recent files are numbered
                continue;
            const auto [it, fresh] = keys.emplace(key, text);
            EXPECT_TRUE(fresh) << menuAction->text().toStdString() << ": '" << QString(key).toStdString()
                               << "' in " << it->second.toStdString() << " and " << text.toStdString();
        }
    }
    const QStringList& file = items["&Datei"];
    for (const char* text : {"&Neu", "Neu aus Vor&lage...", "Ö&ffnen...", "&Speichern", "Speichern &unter...",
                             "Bild &exportieren...", "Als &Hintergrundbild festlegen (gekachelt)", "&Drucken...",
                             "&Beenden"})
        EXPECT_TRUE(file.contains(QString::fromUtf8(text))) << text << " not in " << file.join(", ").toStdString();
    EXPECT_TRUE(items["&Bearbeiten"].contains(QStringLiteral("&Eigenschaften...")));
    EXPECT_TRUE(items["&Ansicht"].contains(QString::fromUtf8("Ver&größern")));
    // Shortcuts as a German keyboard names them.
    const QAction* open = nullptr;
    for (QAction* item : Frame()->menuBar()->actions().first()->menu()->actions())
        if (item->text().startsWith(QString::fromUtf8("Ö&ffnen")))
            open = item;
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->text().endsWith(QStringLiteral("\tStrg+O"))) << open->text().toStdString();
}

TEST_F(GermanEditor, ThePropertySheetIsGerman)
{
    model::CTileParams params;
    params.GenerateRandom(7);
    editors::CQuorrelProp sheet(params);
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Eigenschaften"));
    QStringList pages;
    for (int i = 0; i < 5; ++i)
        pages << sheet.Page(i)->Title();
    EXPECT_EQ(pages, (QStringList{"Allgemein", " Farben", "Formen", "Symmetrien", "Korrelationen"}));
    // Qt's own texts come from qt6-translations-l10n.
    const auto* buttons = sheet.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Abbrechen"));
}

} // namespace
