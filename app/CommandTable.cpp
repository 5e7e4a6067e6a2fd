#include "CommandTable.h"

#include <QCoreApplication>

namespace quorrel::app {

namespace {

QKeySequence Key(int key) { return QKeySequence(key); }

QString Tr(const QString& text) { return QCoreApplication::translate("Commands", text.toUtf8().constData()); }

std::vector<CommandInfo> MakeTable()
{
    using K = QKeySequence;
    const auto keypad = [](Qt::Key key) { return K(Qt::KeypadModifier | key); };
    std::vector<CommandInfo> t = {
        {ID_FILE_NEW, QT_TRANSLATE_NOOP("Commands", "&New"), QT_TRANSLATE_NOOP("Commands", "Ctrl+N"), {K(Qt::CTRL | Qt::Key_N)}, QT_TRANSLATE_NOOP("Commands", "Create a new document"), QT_TRANSLATE_NOOP("Commands", "New")},
        {ID_FILE_OPEN, QT_TRANSLATE_NOOP("Commands", "&Open..."), QT_TRANSLATE_NOOP("Commands", "Ctrl+O"), {K(Qt::CTRL | Qt::Key_O)}, QT_TRANSLATE_NOOP("Commands", "Open an existing document"), QT_TRANSLATE_NOOP("Commands", "Open")},
        {ID_FILE_CLOSE, QT_TRANSLATE_NOOP("Commands", "&Close"), QT_TRANSLATE_NOOP("Commands", "Ctrl+W"), {K(Qt::CTRL | Qt::Key_W), K(Qt::CTRL | Qt::Key_F4)}, QT_TRANSLATE_NOOP("Commands", "Close the active document"), QT_TRANSLATE_NOOP("Commands", "Close")},
        {ID_FILE_SAVE, QT_TRANSLATE_NOOP("Commands", "&Save"), QT_TRANSLATE_NOOP("Commands", "Ctrl+S"), {K(Qt::CTRL | Qt::Key_S)}, QT_TRANSLATE_NOOP("Commands", "Save the active document"), QT_TRANSLATE_NOOP("Commands", "Save")},
        {ID_FILE_SAVE_AS, QT_TRANSLATE_NOOP("Commands", "Save &As..."), "", {}, QT_TRANSLATE_NOOP("Commands", "Save the active document with a new name"), QT_TRANSLATE_NOOP("Commands", "Save As")},
        {ID_EXPORT_IMAGE, QT_TRANSLATE_NOOP("Commands", "&Export Image..."), "", {}, QT_TRANSLATE_NOOP("Commands", "Export as other graphical types"), QT_TRANSLATE_NOOP("Commands", "Export Image")},
        {ID_EXPORT_SCREEN_IMAGE, QT_TRANSLATE_NOOP("Commands", "Export Screen-Si&zed Image..."), "", {},
         QT_TRANSLATE_NOOP("Commands", "Export the tile repeated to the size of a screen"), QT_TRANSLATE_NOOP("Commands", "Export Screen-Sized Image")},
        {ID_SET_AS_WALLPAPER, QT_TRANSLATE_NOOP("Commands", "Set As &Wallpaper (Tiled)"), "", {}, QT_TRANSLATE_NOOP("Commands", "Set As &Wallpaper (Tiled)"),
         QT_TRANSLATE_NOOP("Commands", "Set As &Wallpaper (Tiled)")},
        {ID_FILE_PRINT, QT_TRANSLATE_NOOP("Commands", "&Print..."), QT_TRANSLATE_NOOP("Commands", "Ctrl+P"), {K(Qt::CTRL | Qt::Key_P)}, QT_TRANSLATE_NOOP("Commands", "Print the active document"), QT_TRANSLATE_NOOP("Commands", "Print")},
        {ID_FILE_PRINT_PREVIEW, QT_TRANSLATE_NOOP("Commands", "Print Pre&view"), "", {}, QT_TRANSLATE_NOOP("Commands", "Display full pages"), QT_TRANSLATE_NOOP("Commands", "Print Preview")},
        {ID_FILE_PRINT_SETUP, QT_TRANSLATE_NOOP("Commands", "P&rint Setup..."), "", {}, QT_TRANSLATE_NOOP("Commands", "Change the printer and printing options"), QT_TRANSLATE_NOOP("Commands", "Print Setup")},
        {ID_APP_EXIT, QT_TRANSLATE_NOOP("Commands", "E&xit"), "", {}, QT_TRANSLATE_NOOP("Commands", "Quit the application; prompts to save documents"), QT_TRANSLATE_NOOP("Commands", "Exit")},
        {ID_EDIT_UNDO, QT_TRANSLATE_NOOP("Commands", "&Undo"), QT_TRANSLATE_NOOP("Commands", "Ctrl+Z"), {K(Qt::CTRL | Qt::Key_Z), K(Qt::ALT | Qt::Key_Backspace)},
         QT_TRANSLATE_NOOP("Commands", "Undo the last action"), QT_TRANSLATE_NOOP("Commands", "Undo")},
        {ID_EDIT_REDO, QT_TRANSLATE_NOOP("Commands", "&Redo"), QT_TRANSLATE_NOOP("Commands", "Ctrl+Y"), {K(Qt::CTRL | Qt::Key_Y)}, QT_TRANSLATE_NOOP("Commands", "Redo the previously undone action"), QT_TRANSLATE_NOOP("Commands", "Redo")},
        {ID_EDIT_COPY, QT_TRANSLATE_NOOP("Commands", "&Copy"), QT_TRANSLATE_NOOP("Commands", "Ctrl+C"), {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)},
         QT_TRANSLATE_NOOP("Commands", "Copy the selection and put it on the Clipboard"), QT_TRANSLATE_NOOP("Commands", "Copy")},
        {ID_PROPERTIES, QT_TRANSLATE_NOOP("Commands", "&Properties..."), "F4", {Key(Qt::Key_F4)}, QT_TRANSLATE_NOOP("Commands", "Properties"), QT_TRANSLATE_NOOP("Commands", "Properties")},
        {ID_COEFFICIENTS, QT_TRANSLATE_NOOP("Commands", "Coe&fficients..."), QT_TRANSLATE_NOOP("Commands", "Shift+F4"), {K(Qt::SHIFT | Qt::Key_F4)}, QT_TRANSLATE_NOOP("Commands", "Coefficients"),
         QT_TRANSLATE_NOOP("Commands", "Coefficients")},
        {ID_RANDOM_GENERATION, QT_TRANSLATE_NOOP("Commands", "Random &Generation"), "F5", {Key(Qt::Key_F5)}, QT_TRANSLATE_NOOP("Commands", "Random Generation"),
         QT_TRANSLATE_NOOP("Commands", "Random Generation")},
        {ID_SLIDE_SHOW, QT_TRANSLATE_NOOP("Commands", "Slide &Show"), "F6", {Key(Qt::Key_F6)}, QT_TRANSLATE_NOOP("Commands", "Slide Show"), QT_TRANSLATE_NOOP("Commands", "Slide Show")},
        {ID_RANDOM_DESKTOP, QT_TRANSLATE_NOOP("Commands", "Random Desktop"), "F7", {Key(Qt::Key_F7)}, QT_TRANSLATE_NOOP("Commands", "Random Desktop Wallpapers"),
         QT_TRANSLATE_NOOP("Commands", "Random Desktop")},
        {ID_DESKTOP_ROTATION, QT_TRANSLATE_NOOP("Commands", "Desktop &Rotation..."), "", {},
         QT_TRANSLATE_NOOP("Commands", "Make the desktop change its wallpaper by itself, without the editor"), QT_TRANSLATE_NOOP("Commands", "Desktop Rotation")},
        {ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("Commands", "&Toolbar"), "", {}, QT_TRANSLATE_NOOP("Commands", "Show or hide the toolbar"), QT_TRANSLATE_NOOP("Commands", "Toggle ToolBar")},
        {ID_VIEW_STATUS_BAR, QT_TRANSLATE_NOOP("Commands", "&Status Bar"), "", {}, QT_TRANSLATE_NOOP("Commands", "Show or hide the status bar"), QT_TRANSLATE_NOOP("Commands", "Toggle StatusBar")},
        // Beside the keypad's keys, the ones image viewers take: Ctrl+= and
        // Ctrl++, Ctrl+-, Ctrl+0 (and Ctrl+wheel in the view).
        {ID_ZOOM_IN, QT_TRANSLATE_NOOP("Commands", "Zoom &In"), "Ctrl++, Num +", {keypad(Qt::Key_Plus), K(Qt::CTRL | Qt::Key_Equal), K(Qt::CTRL | Qt::Key_Plus)},
         QT_TRANSLATE_NOOP("Commands", "Zoom In"), QT_TRANSLATE_NOOP("Commands", "Zoom In")},
        {ID_ZOOM_OUT, QT_TRANSLATE_NOOP("Commands", "Zoom &Out"), "Ctrl+-, Num -", {keypad(Qt::Key_Minus), K(Qt::CTRL | Qt::Key_Minus)}, QT_TRANSLATE_NOOP("Commands", "Zoom Out"),
         QT_TRANSLATE_NOOP("Commands", "Zoom Out")},
        {ID_ZOOM_NORMAL, QT_TRANSLATE_NOOP("Commands", "Zoom &Normal"), "Ctrl+0, Num *", {keypad(Qt::Key_Asterisk), K(Qt::CTRL | Qt::Key_0)}, QT_TRANSLATE_NOOP("Commands", "Zoom Normal"),
         QT_TRANSLATE_NOOP("Commands", "Zoom Normal")},
        {ID_FULL_SCREEN, QT_TRANSLATE_NOOP("Commands", "&Full Screen"), "F", {Key(Qt::Key_F), Key(Qt::Key_Escape)}, QT_TRANSLATE_NOOP("Commands", "Full Screen"), QT_TRANSLATE_NOOP("Commands", "Full Screen")},
        {ID_REFRESH, "", "", {Key(Qt::Key_R)}, QT_TRANSLATE_NOOP("Commands", "Refresh Image"), QT_TRANSLATE_NOOP("Commands", "Refresh")},
        {ID_WINDOW_NEW, QT_TRANSLATE_NOOP("Commands", "&New Window"), "", {}, QT_TRANSLATE_NOOP("Commands", "Open another window for the active document"), QT_TRANSLATE_NOOP("Commands", "New Window")},
        {ID_WINDOW_CASCADE, QT_TRANSLATE_NOOP("Commands", "&Cascade"), "", {}, QT_TRANSLATE_NOOP("Commands", "Arrange windows so they overlap"), QT_TRANSLATE_NOOP("Commands", "Cascade Windows")},
        {ID_WINDOW_TILE_HORZ, QT_TRANSLATE_NOOP("Commands", "&Tile"), "", {}, QT_TRANSLATE_NOOP("Commands", "Arrange windows as non-overlapping tiles"), QT_TRANSLATE_NOOP("Commands", "Tile Windows")},
        {ID_WINDOW_ARRANGE, QT_TRANSLATE_NOOP("Commands", "&Arrange Icons"), "", {}, QT_TRANSLATE_NOOP("Commands", "Arrange icons at the bottom of the window"), QT_TRANSLATE_NOOP("Commands", "Arrange Icons")},
        {ID_HELP_FINDER, QT_TRANSLATE_NOOP("Commands", "&Help Topics"), "", {}, QT_TRANSLATE_NOOP("Commands", "List Help topics"), QT_TRANSLATE_NOOP("Commands", "Help Topics")},
        {ID_APP_ABOUT, QT_TRANSLATE_NOOP("Commands", "&About Quorrel..."), "", {}, QT_TRANSLATE_NOOP("Commands", "Display program information, version number and copyright"),
         QT_TRANSLATE_NOOP("Commands", "About")},
        {ID_HELP, "", "", {Key(Qt::Key_F1)}, QT_TRANSLATE_NOOP("Commands", "Display help for current task or command"), QT_TRANSLATE_NOOP("Commands", "Help")},
        {ID_CONTEXT_HELP, "", "", {K(Qt::SHIFT | Qt::Key_F1)},
         QT_TRANSLATE_NOOP("Commands", "Display help for clicked on buttons, menus and windows"), QT_TRANSLATE_NOOP("Commands", "Help")},
        {ID_EDIT_CUT, "", "", {K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)},
         QT_TRANSLATE_NOOP("Commands", "Cut the selection and put it on the Clipboard"), QT_TRANSLATE_NOOP("Commands", "Cut")},
        {ID_EDIT_PASTE, "", "", {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)}, QT_TRANSLATE_NOOP("Commands", "Insert Clipboard contents"),
         QT_TRANSLATE_NOOP("Commands", "Paste")},
        {ID_FILE_NEW_FROM_PRESET, QT_TRANSLATE_NOOP("Commands", "New &from Preset..."), "", {}, QT_TRANSLATE_NOOP("Commands", "Create a new document from a preset"),
         QT_TRANSLATE_NOOP("Commands", "New from Preset")},
        {ID_EDIT_RESET_DEFAULTS, QT_TRANSLATE_NOOP("Commands", "Reset to Built-in &Defaults"), "", {},
         QT_TRANSLATE_NOOP("Commands", "Put the built-in default settings back and generate a new tile"), QT_TRANSLATE_NOOP("Commands", "Reset to Built-in Defaults")},
    };
    // The table's texts in the user's language (the catalogue is installed
    // before the table is first made).
    for (CommandInfo& info : t)
        for (QString* text : {&info.menuText, &info.shortcutText, &info.prompt, &info.tooltip})
            *text = Tr(*text);
    t.push_back({ID_VIEW_CONTINUOUS, QCoreApplication::translate("Commands", "&Continuous Colours"), "", {},
                 QCoreApplication::translate("Commands", "Render the view continuously: the same pattern without the exact tile's grain"),
                 QCoreApplication::translate("Commands", "Continuous Colours")});
    for (int scale = 1; scale <= 4; ++scale) {
        const QString text = QString::number(scale) + QChar(0x00d7);
        t.push_back({ID_WALLPAPER_SCALE_1 + scale - 1, "&" + text, "", {},
                     QCoreApplication::translate("Commands", "Set As Wallpaper renders the tile at %1 its size").arg(text), QCoreApplication::translate("Commands", "Wallpaper Scale %1").arg(text)});
    }
    // Living wallpapers.
    t.push_back({ID_VIEW_ANIMATE, QCoreApplication::translate("Commands", "&Animate"), "A", {Key(Qt::Key_A)},
                 QCoreApplication::translate("Commands", "Play the tile's loop: it moves and comes back seamlessly"), QCoreApplication::translate("Commands", "Animate")});
    t.push_back({ID_EXPORT_ANIMATION, QCoreApplication::translate("Commands", "Export &Animation..."), "", {},
                 QCoreApplication::translate("Commands", "Write the tile's loop as animated WebP, GIF, WebM or PNG frames"), QCoreApplication::translate("Commands", "Export Animation")});
    t.push_back({ID_SET_AS_LIVING_WALLPAPER, QCoreApplication::translate("Commands", "Set As &Living Wallpaper"), "", {},
                 QCoreApplication::translate("Commands", "Make the tile's loop the desktop's moving wallpaper, also after the next login"),
                 QCoreApplication::translate("Commands", "Set As Living Wallpaper")});
    for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id)
        t.push_back({id, QCoreApplication::translate("Commands", "Recent File"), "", {}, QCoreApplication::translate("Commands", "Open this document"), ""});
    return t;
}

} // namespace

const std::vector<CommandInfo>& CommandTable()
{
    static const std::vector<CommandInfo> table = MakeTable();
    return table;
}

const CommandInfo* FindCommand(int id)
{
    for (const CommandInfo& info : CommandTable())
        if (info.id == id)
            return &info;
    return nullptr;
}

const std::vector<int>& ToolbarLayout()
{
    static const std::vector<int> layout = {
        ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_EXPORT_IMAGE, 0,
        ID_SET_AS_WALLPAPER, 0,
        ID_FILE_PRINT, 0,
        ID_EDIT_UNDO, ID_EDIT_REDO, 0,
        ID_EDIT_COPY, 0,
        ID_PROPERTIES, ID_COEFFICIENTS, 0,
        ID_RANDOM_GENERATION, ID_SLIDE_SHOW, ID_RANDOM_DESKTOP, 0,
        ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_NORMAL, 0,
        ID_FULL_SCREEN, 0,
        ID_APP_ABOUT, ID_CONTEXT_HELP,
    };
    return layout;
}

} // namespace quorrel::app
