# Installation (cmake --install) and the Debian package (cpack -G DEB,
# scripts/package.sh).  The installed tree is the layout platform/Paths.h
# calls "installed": the executable in bin/, the read-only data in
# share/korvex/, the user's files in the XDG folders.  The spelling
# dictionaries are not installed: Debian's hunspell-ru and hunspell-en-us
# provide them to every program.

install(TARGETS korvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Support/ DESTINATION ${CMAKE_INSTALL_DATADIR}/korvex/Support)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/korvex/Help)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/korvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/io.github.korvex.korvex.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/korvex.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/korvex.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)

# Debian wants the manual page and the changelog compressed, without a time
# stamp in the gzip header, so that two builds give the same bytes.
find_program(KORVEX_GZIP gzip REQUIRED)
set(_man_gz ${CMAKE_BINARY_DIR}/packaging/korvex.1.gz)
set(_changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${_man_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND ${KORVEX_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/packaging/korvex.1 > ${_man_gz}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/korvex.1)
add_custom_command(OUTPUT ${_changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND ${KORVEX_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/packaging/changelog > ${_changelog_gz}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog)
add_custom_target(korvex_packaging_files ALL DEPENDS ${_man_gz} ${_changelog_gz})
install(FILES ${_man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_changelog_gz} ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/korvex)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Korvex maintainers <maintainers@users.noreply.c-seed-3a1ce466.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for AutoCAD multiline text (MText), Russian interface")
# The synopsis above is the first line of the Description field, this the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Korvex edits the markup of an AutoCAD MText object in a highlighted editor
and shows it rendered beside it: fonts, heights, width factors, colours,
stacked fractions and tolerances.  A CAD program starts it on a plain text
file (korvex FILE) and reads the text back when the user closes the window
with Close and apply.  Spell checking uses the system's Hunspell dictionaries.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries (Qt 6, libhunspell, the C++ runtime) come from dpkg-shlibdeps;
# what the program loads or reads at run time is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, hunspell-ru, hunspell-en-us, fonts-liberation2, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
# The package installs under /usr whatever prefix the build folder has.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
