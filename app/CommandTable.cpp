#include "CommandTable.h"

namespace quorrel::app {

namespace {

QKeySequence Key(int key) { return QKeySequence(key); }

std::vector<CommandInfo> MakeTable()
{
    using K = QKeySequence;
    const auto keypad = [](Qt::Key key) { return K(Qt::KeypadModifier | key); };
    std::vector<CommandInfo> t = {
        {ID_FILE_NEW, "&New", "Ctrl+N", {K(Qt::CTRL | Qt::Key_N)}, "Create a new document", "New", 0},
        {ID_FILE_OPEN, "&Open...", "Ctrl+O", {K(Qt::CTRL | Qt::Key_O)}, "Open an existing document", "Open", 1},
        {ID_FILE_CLOSE, "&Close", "", {}, "Close the active document", "Close", -1},
        {ID_FILE_SAVE, "&Save", "Ctrl+S", {K(Qt::CTRL | Qt::Key_S)}, "Save the active document", "Save", 2},
        {ID_FILE_SAVE_AS, "Save &As...", "", {}, "Save the active document with a new name", "Save As", -1},
        {ID_EXPORT_IMAGE, "&Export Image...", "", {}, "Export as other graphical types", "Export Image", 3},
        {ID_SET_AS_WALLPAPER, "Set As &Wallpaper (Tiled)", "", {}, "Set As &Wallpaper (Tiled)",
         "Set As &Wallpaper (Tiled)", 4},
        {ID_FILE_PRINT, "&Print...", "Ctrl+P", {K(Qt::CTRL | Qt::Key_P)}, "Print the active document", "Print", 5},
        {ID_FILE_PRINT_PREVIEW, "Print Pre&view", "", {}, "Display full pages", "Print Preview", -1},
        {ID_FILE_PRINT_SETUP, "P&rint Setup...", "", {}, "Change the printer and printing options", "Print Setup",
         -1},
        {ID_APP_EXIT, "E&xit", "", {}, "Quit the application; prompts to save documents", "Exit", -1},
        {ID_EDIT_UNDO, "&Undo", "Ctrl+Z", {K(Qt::CTRL | Qt::Key_Z), K(Qt::ALT | Qt::Key_Backspace)},
         "Undo the last action", "Undo", 6},
        {ID_EDIT_REDO, "&Redo", "Ctrl+Y", {K(Qt::CTRL | Qt::Key_Y)}, "Redo the previously undone action", "Redo", 7},
        {ID_EDIT_COPY, "&Copy", "Ctrl+C", {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)},
         "Copy the selection and put it on the Clipboard", "Copy", 8},
        {ID_PROPERTIES, "&Properties...", "F4", {Key(Qt::Key_F4)}, "Properties", "Properties", 9},
        {ID_COEFFICIENTS, "Coe&fficients...", "Shift+F4", {K(Qt::SHIFT | Qt::Key_F4)}, "Coefficients",
         "Coefficients", 10},
        {ID_RANDOM_GENERATION, "Random &Generation", "F5", {Key(Qt::Key_F5)}, "Random Generation",
         "Random Generation", 11},
        {ID_SLIDE_SHOW, "Slide &Show", "F6", {Key(Qt::Key_F6)}, "Slide Show", "Slide Show", 12},
        {ID_RANDOM_DESKTOP, "Random Desktop", "F7", {Key(Qt::Key_F7)}, "Random Desktop Wallpapers",
         "Random Desktop", 13},
        {ID_VIEW_TOOLBAR, "&Toolbar", "", {}, "Show or hide the toolbar", "Toggle ToolBar", -1},
        {ID_VIEW_STATUS_BAR, "&Status Bar", "", {}, "Show or hide the status bar", "Toggle StatusBar", -1},
        {ID_ZOOM_IN, "Zoom &In", "Num +", {keypad(Qt::Key_Plus)}, "Zoom In", "Zoom In", 14},
        {ID_ZOOM_OUT, "Zoom &Out", "Num -", {keypad(Qt::Key_Minus)}, "Zoom Out", "Zoom Out", 15},
        {ID_ZOOM_NORMAL, "Zoom &Normal", "Num *", {keypad(Qt::Key_Asterisk)}, "Zoom Normal", "Zoom Normal", 16},
        {ID_FULL_SCREEN, "&Full Screen", "F", {Key(Qt::Key_F), Key(Qt::Key_Escape)}, "Full Screen", "Full Screen",
         17},
        {ID_REFRESH, "", "", {Key(Qt::Key_R)}, "Refresh Image", "Refresh", -1},
        {ID_WINDOW_NEW, "&New Window", "", {}, "Open another window for the active document", "New Window", -1},
        {ID_WINDOW_CASCADE, "&Cascade", "", {}, "Arrange windows so they overlap", "Cascade Windows", -1},
        {ID_WINDOW_TILE_HORZ, "&Tile", "", {}, "Arrange windows as non-overlapping tiles", "Tile Windows", -1},
        {ID_WINDOW_ARRANGE, "&Arrange Icons", "", {}, "Arrange icons at the bottom of the window", "Arrange Icons",
         -1},
        {ID_HELP_FINDER, "&Help Topics", "", {}, "List Help topics", "Help Topics", -1},
        {ID_APP_ABOUT, "&About Quorrel...", "", {}, "Display program information, version number and copyright",
         "About", 18},
        {ID_HELP, "", "", {Key(Qt::Key_F1)}, "Display help for current task or command", "Help", -1},
        {ID_CONTEXT_HELP, "", "", {K(Qt::SHIFT | Qt::Key_F1)},
         "Display help for clicked on buttons, menus and windows", "Help", 19},
        {ID_EDIT_CUT, "", "", {K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)},
         "Cut the selection and put it on the Clipboard", "Cut", -1},
        {ID_EDIT_PASTE, "", "", {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)}, "Insert Clipboard contents",
         "Paste", -1},
    };
    for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id)
        t.push_back({id, "Recent File", "", {}, "Open this document", "", -1});
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
