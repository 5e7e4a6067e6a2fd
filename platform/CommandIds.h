#pragma once
// Command ids: the framework's standard ones and the editor's own, in one
// space. The frame, the painted toolbar images and the help texts share them.

namespace quorrel::platform {

enum StandardCommand : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616,
    ID_FILE_MRU_FILE4 = 57619,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_FINDER = 57667,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

// The editor's own commands.
enum QuorrelCommand : int {
    ID_EXPORT_IMAGE = 500,
    ID_SET_AS_WALLPAPER = 501,
    ID_RANDOM_GENERATION = 510,
    ID_PROPERTIES = 511,
    ID_SLIDE_SHOW = 512,
    ID_RANDOM_DESKTOP = 513,
    ID_ZOOM_IN = 520,
    ID_ZOOM_OUT = 521,
    ID_ZOOM_NORMAL = 522,
    ID_FULL_SCREEN = 524,
    ID_COEFFICIENTS = 923,
    ID_REFRESH = 926,
    // Starting points: a new document from a preset, and the built-in
    // default settings back in the active document.
    ID_FILE_NEW_FROM_PRESET = 930,
    ID_EDIT_RESET_DEFAULTS = 931,
    // The tile repeated to a screen's size, written as an image file.
    ID_EXPORT_SCREEN_IMAGE = 932,
    // A wallpaper that changes by itself, set up from the editor.
    ID_DESKTOP_ROTATION = 940,
    // The view rendered with the continuous renderer (a check item).
    ID_VIEW_CONTINUOUS = 933,
    // The scale Set As Wallpaper renders the tile at: 1x to 4x (radio items).
    ID_WALLPAPER_SCALE_1 = 934,
    ID_WALLPAPER_SCALE_4 = 937,
    // Living wallpapers: the loop played in the view, and written to a file.
    ID_VIEW_ANIMATE = 960,
    ID_EXPORT_ANIMATION = 961,
    // The loop as the desktop's own moving wallpaper.
    ID_SET_AS_LIVING_WALLPAPER = 962,
};

} // namespace quorrel::platform
