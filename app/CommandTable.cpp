#include "CommandTable.h"

namespace quorrel::app {

namespace {

QKeySequence Key(int key) { return QKeySequence(key); }

std::vector<CommandInfo> MakeTable()
{
    using K = QKeySequence;
    const auto keypad = [](Qt::Key key) { return K(Qt::KeypadModifier | key); };
    std::vector<CommandInfo> t = {
        {ID_FILE_NEW, "&New", "Ctrl+N", {K(Qt::CTRL | Qt::Key_N)}, "Create a new document", "New"},
        {ID_FILE_OPEN, "&Open...", "Ctrl+O", {K(Qt::CTRL | Qt::Key_O)}, "Open an existing document", "Open"},
        {ID_FILE_CLOSE, "&Close", "Ctrl+W", {K(Qt::CTRL | Qt::Key_W), K(Qt::CTRL | Qt::Key_F4)}, "Close the active document",
         "Close"},
        {ID_FILE_SAVE, "&Save", "Ctrl+S", {K(Qt::CTRL | Qt::Key_S)}, "Save the active document", "Save"},
        {ID_FILE_SAVE_AS, "Save &As...", "", {}, "Save the active document with a new name", "Save As"},
        {ID_EXPORT_IMAGE, "&Export Image...", "", {}, "Export as other graphical types", "Export Image"},
        {ID_EXPORT_SCREEN_IMAGE, "Export Screen-Si&zed Image...", "", {},
         "Export the tile repeated to the size of a screen", "Export Screen-Sized Image"},
        {ID_SET_AS_WALLPAPER, "Set As &Wallpaper (Tiled)", "", {}, "Set As &Wallpaper (Tiled)",
         "Set As &Wallpaper (Tiled)"},
        {ID_FILE_PRINT, "&Print...", "Ctrl+P", {K(Qt::CTRL | Qt::Key_P)}, "Print the active document", "Print"},
        {ID_FILE_PRINT_PREVIEW, "Print Pre&view", "", {}, "Display full pages", "Print Preview"},
        {ID_FILE_PRINT_SETUP, "P&rint Setup...", "", {}, "Change the printer and printing options", "Print Setup"},
        {ID_APP_EXIT, "E&xit", "", {}, "Quit the application; prompts to save documents", "Exit"},
        {ID_EDIT_UNDO, "&Undo", "Ctrl+Z", {K(Qt::CTRL | Qt::Key_Z), K(Qt::ALT | Qt::Key_Backspace)},
         "Undo the last action", "Undo"},
        {ID_EDIT_REDO, "&Redo", "Ctrl+Y", {K(Qt::CTRL | Qt::Key_Y)}, "Redo the previously undone action", "Redo"},
        {ID_EDIT_COPY, "&Copy", "Ctrl+C", {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)},
         "Copy the selection and put it on the Clipboard", "Copy"},
        {ID_PROPERTIES, "&Properties...", "F4", {Key(Qt::Key_F4)}, "Properties", "Properties"},
        {ID_COEFFICIENTS, "Coe&fficients...", "Shift+F4", {K(Qt::SHIFT | Qt::Key_F4)}, "Coefficients",
         "Coefficients"},
        {ID_RANDOM_GENERATION, "Random &Generation", "F5", {Key(Qt::Key_F5)}, "Random Generation",
         "Random Generation"},
        {ID_SLIDE_SHOW, "Slide &Show", "F6", {Key(Qt::Key_F6)}, "Slide Show", "Slide Show"},
        {ID_RANDOM_DESKTOP, "Random Desktop", "F7", {Key(Qt::Key_F7)}, "Random Desktop Wallpapers",
         "Random Desktop"},
        {ID_DESKTOP_ROTATION, "Desktop &Rotation...", "", {},
         "Make the desktop change its wallpaper by itself, without the editor", "Desktop Rotation"},
        {ID_VIEW_TOOLBAR, "&Toolbar", "", {}, "Show or hide the toolbar", "Toggle ToolBar"},
        {ID_VIEW_STATUS_BAR, "&Status Bar", "", {}, "Show or hide the status bar", "Toggle StatusBar"},
        // Beside the keypad's keys, the ones image viewers take: Ctrl+= and
        // Ctrl++, Ctrl+-, Ctrl+0 (and Ctrl+wheel in the view).
        {ID_ZOOM_IN, "Zoom &In", "Ctrl++, Num +", {keypad(Qt::Key_Plus), K(Qt::CTRL | Qt::Key_Equal), K(Qt::CTRL | Qt::Key_Plus)},
         "Zoom In", "Zoom In"},
        {ID_ZOOM_OUT, "Zoom &Out", "Ctrl+-, Num -", {keypad(Qt::Key_Minus), K(Qt::CTRL | Qt::Key_Minus)}, "Zoom Out",
         "Zoom Out"},
        {ID_ZOOM_NORMAL, "Zoom &Normal", "Ctrl+0, Num *", {keypad(Qt::Key_Asterisk), K(Qt::CTRL | Qt::Key_0)}, "Zoom Normal",
         "Zoom Normal"},
        {ID_FULL_SCREEN, "&Full Screen", "F", {Key(Qt::Key_F), Key(Qt::Key_Escape)}, "Full Screen", "Full Screen"},
        {ID_REFRESH, "", "", {Key(Qt::Key_R)}, "Refresh Image", "Refresh"},
        {ID_WINDOW_NEW, "&New Window", "", {}, "Open another window for the active document", "New Window"},
        {ID_WINDOW_CASCADE, "&Cascade", "", {}, "Arrange windows so they overlap", "Cascade Windows"},
        {ID_WINDOW_TILE_HORZ, "&Tile", "", {}, "Arrange windows as non-overlapping tiles", "Tile Windows"},
        {ID_WINDOW_ARRANGE, "&Arrange Icons", "", {}, "Arrange icons at the bottom of the window", "Arrange Icons"},
        {ID_HELP_FINDER, "&Help Topics", "", {}, "List Help topics", "Help Topics"},
        {ID_APP_ABOUT, "&About Quorrel...", "", {}, "Display program information, version number and copyright",
         "About"},
        {ID_HELP, "", "", {Key(Qt::Key_F1)}, "Display help for current task or command", "Help"},
        {ID_CONTEXT_HELP, "", "", {K(Qt::SHIFT | Qt::Key_F1)},
         "Display help for clicked on buttons, menus and windows", "Help"},
        {ID_EDIT_CUT, "", "", {K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)},
         "Cut the selection and put it on the Clipboard", "Cut"},
        {ID_EDIT_PASTE, "", "", {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)}, "Insert Clipboard contents",
         "Paste"},
        {ID_FILE_NEW_FROM_PRESET, "New &from Preset...", "", {}, "Create a new document from a preset",
         "New from Preset"},
        {ID_EDIT_RESET_DEFAULTS, "Reset to Built-in &Defaults", "", {},
         "Put the built-in default settings back and generate a new tile", "Reset to Built-in Defaults"},
    };
    t.push_back({ID_VIEW_CONTINUOUS, "&Continuous Colours", "", {},
                 "Render the view continuously: the same pattern without the exact tile's grain",
                 "Continuous Colours"});
    for (int scale = 1; scale <= 4; ++scale) {
        const QString text = QString::number(scale) + QChar(0x00d7);
        t.push_back({ID_WALLPAPER_SCALE_1 + scale - 1, "&" + text, "", {},
                     "Set As Wallpaper renders the tile at " + text + " its size", "Wallpaper Scale " + text});
    }
    // Living wallpapers.
    t.push_back({ID_VIEW_ANIMATE, "&Animate", "A", {Key(Qt::Key_A)},
                 "Play the tile's loop: it moves and comes back seamlessly", "Animate"});
    t.push_back({ID_EXPORT_ANIMATION, "Export &Animation...", "", {},
                 "Write the tile's loop as animated WebP, GIF, WebM or PNG frames", "Export Animation"});
    t.push_back({ID_SET_AS_LIVING_WALLPAPER, "Set As &Living Wallpaper", "", {},
                 "Make the tile's loop the desktop's moving wallpaper, also after the next login",
                 "Set As Living Wallpaper"});
    for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id)
        t.push_back({id, "Recent File", "", {}, "Open this document", ""});
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
