# What `cmake --install` puts under the prefix: the editor and quorrel-render
# in bin/, the desktop entry, the MIME type of "*.wpp" documents, the icons
# in the hicolor theme (PNGs and the scalable SVGs). Included from
# platform/desktop/CMakeLists.txt.
#
# The user guide is not installed as files: the editor shows the copy built
# into it (platform/desktop), which works wherever the editor runs, and a
# second copy under /usr/share/doc would be 683 KB of the same pages that
# systems leaving out documentation (dpkg path-exclude) may drop anyway.
include(GNUInstallDirs)

set(_desktop_dir ${CMAKE_CURRENT_LIST_DIR})
set(_icons_dir ${CMAKE_CURRENT_LIST_DIR}/../icons)

install(FILES ${_desktop_dir}/com.vantorel.Quorrel.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_desktop_dir}/quorrel-mime.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    RENAME quorrel.xml)

foreach(_size 16 22 24 32 48 64 128 256)
    install(FILES ${_icons_dir}/app/quorrel-${_size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
        RENAME quorrel.png)
    install(FILES ${_icons_dir}/app/application-x-quorrel-document-${_size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/mimetypes
        RENAME application-x-quorrel-document.png)
endforeach()
install(FILES ${_icons_dir}/app/quorrel.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${_icons_dir}/app/application-x-quorrel-document.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)

# The editor installs itself from app/CMakeLists.txt.

# The living wallpaper's Plasma package.
include(${CMAKE_CURRENT_LIST_DIR}/../plasma/install.cmake)

# Refresh the desktop's caches when installing into a live system; package
# builds (DESTDIR set) leave that to the package's triggers.
install(CODE [[
    if(NOT DEFINED ENV{DESTDIR} OR "$ENV{DESTDIR}" STREQUAL "")
        find_program(_update_mime update-mime-database)
        find_program(_update_desktop update-desktop-database)
        if(_update_mime)
            execute_process(COMMAND ${_update_mime} "${CMAKE_INSTALL_PREFIX}/share/mime" TIMEOUT 30)
        endif()
        if(_update_desktop)
            execute_process(COMMAND ${_update_desktop} "${CMAKE_INSTALL_PREFIX}/share/applications" TIMEOUT 30)
        endif()
    endif()
]])
