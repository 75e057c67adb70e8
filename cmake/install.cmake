# Installing Tavlen the freedesktop way, and the Debian package built from that install:
#   bin/tavlen
#   lib/.../tavlen/libtavlen_webview.so the browser engine, loaded on the first preview (src/webview)
#   share/tavlen/TagSets/*.tag          the tag sets that come with the program
#   share/tavlen/help/index.html        the help page (the Help command's fallback)
#   share/applications/tavlen.desktop   the desktop entry, an editor of text/html
#   share/metainfo/<id>.metainfo.xml    AppStream description
#   share/icons/hicolor/*/apps/tavlen.* the program icon, rendered from resources/icons/tavlen.svg
include(GNUInstallDirs)

# The project's own web page: the author's page command, the AppStream data and the package's
# Homepage field all take it from here. Left empty, the author's page command opens the "about"
# section of the help page that comes with the program, and the package names no home page.
set(TAVLEN_HOMEPAGE_URL "" CACHE STRING "Address of the author's web page (empty: the help page's about section)")
if(TAVLEN_HOMEPAGE_URL)
  set(TAVLEN_METAINFO_HOMEPAGE "<url type=\"homepage\">${TAVLEN_HOMEPAGE_URL}</url>")
else()
  set(TAVLEN_METAINFO_HOMEPAGE "")
endif()
set(TAVLEN_APPSTREAM_ID "org.example.tavlen")
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/app/frmmain.cpp TARGET_DIRECTORY tavlen_app
  APPEND PROPERTY COMPILE_DEFINITIONS "TAVLEN_HOMEPAGE_URL=\"${TAVLEN_HOMEPAGE_URL}\"")

set(tavlen_datadir ${CMAKE_INSTALL_DATADIR}/tavlen)

# The help page, laid out in the build tree as it is installed, so that <program folder>/../
# share/tavlen/help finds it from build/<preset>/src/tavlen too.
set(tavlen_help_source ${CMAKE_SOURCE_DIR}/resources/help/index.html)
set(tavlen_help_built ${CMAKE_BINARY_DIR}/share/tavlen/help/index.html)
add_custom_command(OUTPUT ${tavlen_help_built}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${tavlen_help_source} ${tavlen_help_built}
  DEPENDS ${tavlen_help_source}
  COMMENT "Help page into the build tree")
add_custom_target(tavlen_help_page ALL DEPENDS ${tavlen_help_built})

# Icons: PNGs at the usual hicolor sizes, rendered from the SVG at build time.
set(TAVLEN_ICON_SIZES 16 22 24 32 48 64 128 256 512)
set(tavlen_icon_svg ${CMAKE_SOURCE_DIR}/resources/icons/tavlen.svg)
set(tavlen_icon_dir ${CMAKE_BINARY_DIR}/packaging/icons)
add_executable(tavlen_render_icon EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/packaging/tools/render_icon.cpp)
target_link_libraries(tavlen_render_icon PRIVATE Qt6::Gui Qt6::Svg)
target_compile_definitions(tavlen_render_icon PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_KEYWORDS)
set(tavlen_icon_pngs "")
foreach(size IN LISTS TAVLEN_ICON_SIZES)
  list(APPEND tavlen_icon_pngs ${tavlen_icon_dir}/${size}x${size}/apps/tavlen.png)
endforeach()
add_custom_command(OUTPUT ${tavlen_icon_pngs}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:tavlen_render_icon> ${tavlen_icon_svg} ${tavlen_icon_dir} ${TAVLEN_ICON_SIZES}
  DEPENDS tavlen_render_icon ${tavlen_icon_svg}
  COMMENT "Program icon as PNG at ${TAVLEN_ICON_SIZES}")
add_custom_target(tavlen_icons_png ALL DEPENDS ${tavlen_icon_pngs})

# Screenshots of the real window (scripts/screenshots.sh builds it on demand).
add_executable(tavlen_grab_window EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/packaging/tools/grab_window.cpp)
target_link_libraries(tavlen_grab_window PRIVATE Qt6::Gui)
target_compile_definitions(tavlen_grab_window PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_KEYWORDS)

# AppStream data with this build's version.
string(TIMESTAMP TAVLEN_RELEASE_DATE "%Y-%m-%d" UTC)
set(tavlen_metainfo ${CMAKE_BINARY_DIR}/packaging/${TAVLEN_APPSTREAM_ID}.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/packaging/tavlen.metainfo.xml.in ${tavlen_metainfo} @ONLY)

install(TARGETS tavlen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
file(GLOB tavlen_shipped_tagsets CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/tagsets/*.tag)
install(FILES ${tavlen_shipped_tagsets} DESTINATION ${tavlen_datadir}/TagSets)
install(FILES ${tavlen_help_source} DESTINATION ${tavlen_datadir}/help)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tavlen.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${tavlen_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${tavlen_icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS TAVLEN_ICON_SIZES)
  install(FILES ${tavlen_icon_dir}/${size}x${size}/apps/tavlen.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian package: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME tavlen)
set(CPACK_PACKAGE_VENDOR "Tavlen")
set(CPACK_PACKAGE_CONTACT "Tavlen developers <tavlen@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese editor for hand-written HTML (Shift_JIS and EUC-JP)")
set(CPACK_PACKAGE_DESCRIPTION
  "Tavlen (たぶれん) is an editor for writing HTML pages by hand, with a Japanese user interface.\n"
  "It reads and writes Shift_JIS (CP932) and EUC-JP files without losing a byte, colours tags\n"
  "and comments, wraps the selection in reusable tag sets, previews the page in an embedded\n"
  "browser, and finds and replaces text literally or by regular expression.")
if(TAVLEN_HOMEPAGE_URL)
  set(CPACK_PACKAGE_HOMEPAGE_URL ${TAVLEN_HOMEPAGE_URL})
endif()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the Qt libraries (with the browser engine's helper process and the SVG
# plugins, which ride on them), PCRE2, libacl, libattr and xxHash; a Japanese font and Qt's
# Japanese catalogue (its dialogs' labels and buttons) are added by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic | fonts-takao-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libglib2.0-bin, qt6-wayland")
set(CPACK_GENERATOR DEB)
include(CPack)
