# The Debian package, made from the install rules:
#   cmake --build build --target package   ->  build/quorrel_<version>_<arch>.deb
# Included from the top-level CMakeLists.txt after the install rules.
#
# What the package adds to a plain `cmake --install`: the AppStream metainfo,
# the manual pages, and the copyright file and changelog Debian expects in
# /usr/share/doc/quorrel/. The desktop, MIME and icon caches are left to
# Debian's triggers (no maintainer scripts), and the install step's own cache
# refresh is skipped while CPack stages the files (DESTDIR is set).
#
# The Debian source package (debian/, dpkg-buildpackage) builds from the same
# install rules; debhelper installs the copyright file and changelog itself
# (QUORREL_DEBIAN_DOCS=OFF). CPack stays for a quick local package without a
# clean build root; the package check builds both and compares them.
#
# Reproducible: every time stamp that ends up in the package (the manual
# pages' date, the files' times in the archive) is SOURCE_DATE_EPOCH, by
# default the date of the newest changelog entry.
include(GNUInstallDirs)
option(QUORREL_DEBIAN_DOCS "Install the copyright file and changelog into share/doc/quorrel" ON)

set(QUORREL_APP_ID com.vantorel.Quorrel)
set(_packaging ${CMAKE_CURRENT_LIST_DIR})

install(FILES ${_packaging}/${QUORREL_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual pages are made from the programs' own --help and --version by
# help2man, so they cannot fall behind the options. Debian wants them and the
# changelog compressed with gzip -9n (no name or time stamp inside, so the
# package is reproducible).
find_program(QUORREL_HELP2MAN help2man REQUIRED)
find_program(QUORREL_GZIP gzip REQUIRED)
set(_changelog ${CMAKE_SOURCE_DIR}/debian/changelog)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(QUORREL_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    find_program(QUORREL_PARSECHANGELOG dpkg-parsechangelog)
    if(QUORREL_PARSECHANGELOG)
        execute_process(COMMAND ${QUORREL_PARSECHANGELOG} -l ${_changelog} -STimestamp
            OUTPUT_VARIABLE QUORREL_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE TIMEOUT 30)
    endif()
endif()
if(NOT QUORREL_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No SOURCE_DATE_EPOCH and none read from ${_changelog}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_changelog})
set(_out ${CMAKE_BINARY_DIR}/packaging)
function(quorrel_man_page target summary)
    add_custom_command(OUTPUT ${_out}/${target}.1.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_out}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen SOURCE_DATE_EPOCH=${QUORREL_SOURCE_DATE_EPOCH}
            ${QUORREL_HELP2MAN} --no-info --name=${summary} --output=${_out}/${target}.1 $<TARGET_FILE:${target}>
        COMMAND ${QUORREL_GZIP} -9nf ${_out}/${target}.1
        DEPENDS ${target}
        VERBATIM)
endfunction()
quorrel_man_page(quorrel "editor of seamless, tileable wallpaper images")
quorrel_man_page(quorrel-render "render Quorrel wallpaper tiles from the command line")
add_custom_command(OUTPUT ${_out}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_out}
    COMMAND ${QUORREL_GZIP} -9n -c ${_changelog} > ${_out}/changelog.gz
    DEPENDS ${_changelog})
add_custom_target(quorrel_package_docs ALL
    DEPENDS ${_out}/quorrel.1.gz ${_out}/quorrel-render.1.gz ${_out}/changelog.gz)
install(FILES ${_out}/quorrel.1.gz ${_out}/quorrel-render.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Debian's names, whatever the project is called in CMake.
if(QUORREL_DEBIAN_DOCS)
    install(FILES ${_out}/changelog.gz ${CMAKE_SOURCE_DIR}/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorrel)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME quorrel)
set(CPACK_PACKAGE_VENDOR Vantorel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vantorel <quorrel@vantorel.com>")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor of seamless, tileable wallpaper images")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
# Install into a staging folder with DESTDIR set, under /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.vantorel.com/quorrel)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the programs link come from dpkg-shlibdeps; what Qt loads at
# run time it cannot see: the TIFF writer is a plugin of
# qt6-image-formats-plugins. (The X11 platform plugin and the JPEG and GIF
# readers ship in libqt6gui6 itself, which the linking already pulls in.)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins (>= 6.4)")
# Native Wayland windows (and with them the application id the shells match
# the desktop entry by); without it the editor runs through XWayland. Qt's
# own dialogs and buttons in the user's language come from
# qt6-translations-l10n. (debian/control says the same.)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
# Set As Wallpaper on an X11 session without a desktop uses one of these.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "feh | xwallpaper")
file(READ ${_packaging}/description.txt _description)
string(STRIP "${_description}" _description)
# CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${_description}")

# cpack reads this file when it runs: the archive's times and order.
set(_cpack_project ${CMAKE_BINARY_DIR}/packaging/CPackProject.cmake)
file(CONFIGURE OUTPUT ${_cpack_project} CONTENT
    "set(ENV{SOURCE_DATE_EPOCH} ${QUORREL_SOURCE_DATE_EPOCH})\n")
set(CPACK_PROJECT_CONFIG_FILE ${_cpack_project})

include(CPack)
