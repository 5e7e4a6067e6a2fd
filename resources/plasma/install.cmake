# Quorrel's own Plasma wallpaper, installed system-wide where Plasma looks for
# wallpaper packages (share/plasma/wallpapers/<its id>/). Included from
# resources/desktop/install.cmake.
include(GNUInstallDirs)
install(DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/living/
    DESTINATION ${CMAKE_INSTALL_DATADIR}/plasma/wallpapers/com.vantorel.quorrel.living)
