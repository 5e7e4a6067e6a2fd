#pragma once
// The command ids of the main toolbar's twenty buttons, left to right.

#include "platform/CommandIds.h"

#include <array>

namespace quorrel::desktop {

using namespace platform;

inline constexpr std::array<int, 20> kToolbarCommands = {
    ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_EXPORT_IMAGE, ID_SET_AS_WALLPAPER, ID_FILE_PRINT,
    ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_COPY, ID_PROPERTIES, ID_COEFFICIENTS,
    ID_RANDOM_GENERATION, ID_SLIDE_SHOW, ID_RANDOM_DESKTOP,
    ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_NORMAL, ID_FULL_SCREEN, ID_APP_ABOUT, ID_CONTEXT_HELP,
};

} // namespace quorrel::desktop
