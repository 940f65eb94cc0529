# What a system-wide install holds besides the bundle and the `halomark` link: desktop registration,
# icon, manual page, completions, AppStream metadata and the rule for logo lights; and the Debian
# package of all of it (`cpack -G DEB` in the build folder). Included after the bundle's install
# rules, so the steps below see the bundle in place.

set(HALOMARK_PACKAGE_CONTACT "The Halomark developers <packages@halomark.invalid>"
    CACHE STRING "Maintainer named in the Debian package")
set(HALOMARK_INSTALLED_EXECUTABLE lib/halomark/Halomark.app/Contents/MacOS/Halomark)
set(HALOMARK_INSTALLED_TRAY_MODULE lib/halomark/Halomark.app/Contents/PlugIns/halomark_tray.so)
set(HALOMARK_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/resources/packaging)
set(HALOMARK_GENERATED_DOCS ${CMAKE_BINARY_DIR}/packaging)

# Installed with the bundle's directory rather than as targets, so stripping is done here: the
# executable, and the tray module beside it (its dynamic symbols stay, since the executable opens it).
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${HALOMARK_INSTALLED_EXECUTABLE}\"
                  COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded --remove-section=.comment --remove-section=.note
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${HALOMARK_INSTALLED_TRAY_MODULE}\"
                  COMMAND_ERROR_IS_FATAL ANY)
endif()")

# The application's own registration files, written for the installed path: the application finds
# them identical in $XDG_DATA_DIRS and keeps no per-user copies that would shadow them.
install(CODE "execute_process(COMMAND \"$<TARGET_FILE:halomark-desktop-files>\"
                  \"\${CMAKE_INSTALL_PREFIX}/${HALOMARK_INSTALLED_EXECUTABLE}\"
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share\"
                  COMMAND_ERROR_IS_FATAL ANY)")

install(FILES resources/app.halomark.Halomark.svg DESTINATION share/icons/hicolor/scalable/apps)
# The tray icon's states, drawn at build time, where every panel's icon theme finds them by name.
install(DIRECTORY ${HALOMARK_BUNDLE_DIR}/Contents/Resources/icons/hicolor/scalable/status
        DESTINATION share/icons/hicolor/scalable)
install(FILES resources/app.halomark.Halomark.metainfo.xml DESTINATION share/metainfo)
install(FILES ${HALOMARK_PACKAGING_DIR}/70-halomark-leds.rules DESTINATION lib/udev/rules.d)
install(FILES completions/halomark.bash DESTINATION share/bash-completion/completions RENAME halomark)
install(FILES completions/_halomark DESTINATION share/zsh/vendor-completions)
install(FILES completions/halomark.fish DESTINATION share/fish/vendor_completions.d)
install(FILES resources/status.schema.json DESTINATION share/halomark)

# Manual page and changelog are shipped compressed, reproducibly (no name or time stamp).
configure_file(${HALOMARK_PACKAGING_DIR}/changelog.in ${HALOMARK_GENERATED_DOCS}/changelog @ONLY)
set(HALOMARK_COMPRESSED_DOCS)
foreach(document ${CMAKE_SOURCE_DIR}/doc/halomark.1 ${HALOMARK_GENERATED_DOCS}/changelog)
  get_filename_component(name ${document} NAME)
  add_custom_command(OUTPUT ${HALOMARK_GENERATED_DOCS}/${name}.gz
                     COMMAND gzip -9 -n -c ${document} > ${HALOMARK_GENERATED_DOCS}/${name}.gz
                     DEPENDS ${document} VERBATIM)
  list(APPEND HALOMARK_COMPRESSED_DOCS ${HALOMARK_GENERATED_DOCS}/${name}.gz)
endforeach()
add_custom_target(halomark_docs ALL DEPENDS ${HALOMARK_COMPRESSED_DOCS})
install(FILES ${HALOMARK_GENERATED_DOCS}/halomark.1.gz DESTINATION share/man/man1)
install(FILES ${HALOMARK_GENERATED_DOCS}/changelog.gz ${HALOMARK_PACKAGING_DIR}/copyright
        DESTINATION share/doc/halomark)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halomark)
set(CPACK_PACKAGE_VENDOR "The Halomark developers")
set(CPACK_PACKAGE_CONTACT "${HALOMARK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control the laptop's illuminated logo light")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Halomark turns the illuminated logo light of a laptop off, holds it at a\n"
    "fixed brightness or gives it back to the platform's own behaviour. It turns\n"
    "the light off by itself under rules the user picks (screen locked, on\n"
    "battery, external display, chosen applications, quiet hours) and pulses it\n"
    "as an attention signal when a long command finishes or when Claude Code\n"
    "needs the user's input. It is a tray application and the halomark command.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt reaches a Wayland compositor only through this plugin; without it the tray falls back to X11.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${HALOMARK_PACKAGING_DIR}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)

if(BUILD_TESTING)
  add_test(NAME packaging.deb COMMAND bash ${CMAKE_SOURCE_DIR}/tests/packaging/package_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(packaging.deb PROPERTIES TIMEOUT 900)
  add_test(NAME packaging.completions
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/packaging/completion_test.sh ${CMAKE_SOURCE_DIR}/completions)
  add_test(NAME packaging.manual_page COMMAND mandoc -T lint -W warning ${CMAKE_SOURCE_DIR}/doc/halomark.1)
endif()
