#pragma once
// The command ids of the main toolbar's twenty buttons, left to right.

#include <array>

namespace quorrel::desktop {

enum ToolbarCommand : int {
    kCmdNew = 57600,
    kCmdOpen = 57601,
    kCmdSave = 57603,
    kCmdExportImage = 500,
    kCmdSetAsWallpaper = 501,
    kCmdPrint = 57607,
    kCmdUndo = 57643,
    kCmdRedo = 57644,
    kCmdCopy = 57634,
    kCmdProperties = 511,
    kCmdCoefficients = 923,
    kCmdRandomGeneration = 510,
    kCmdSlideShow = 512,
    kCmdRandomDesktop = 513,
    kCmdZoomIn = 520,
    kCmdZoomOut = 521,
    kCmdZoomNormal = 522,
    kCmdFullScreen = 524,
    kCmdAbout = 57664,
    kCmdContextHelp = 57669,
};

inline constexpr std::array<int, 20> kToolbarCommands = {
    kCmdNew, kCmdOpen, kCmdSave, kCmdExportImage, kCmdSetAsWallpaper, kCmdPrint,
    kCmdUndo, kCmdRedo, kCmdCopy, kCmdProperties, kCmdCoefficients,
    kCmdRandomGeneration, kCmdSlideShow, kCmdRandomDesktop,
    kCmdZoomIn, kCmdZoomOut, kCmdZoomNormal, kCmdFullScreen, kCmdAbout, kCmdContextHelp,
};

} // namespace quorrel::desktop
