# The .deb: the program, its desktop entry and icons (data/), a manual page made from --help,
# and the copyright file and changelog where Debian keeps them.
include(GNUInstallDirs)
set(debian_out ${PROJECT_BINARY_DIR}/debian)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})

# The manual page comes from the program's own --help and --version, so it cannot fall behind;
# packaging/debian/larkspur.h2m adds the description of the window, the exit status, examples.
# The program runs in a throw-away home, as every run of it does.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(man_page ${debian_out}/larkspur.1)
  set(scratch ${debian_out}/help2man-home)
  set(man_extra ${PROJECT_SOURCE_DIR}/packaging/debian/larkspur.h2m)
  add_custom_command(
    OUTPUT ${man_page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${scratch}
    COMMAND ${CMAKE_COMMAND} -E env HOME=${scratch} XDG_CONFIG_HOME=${scratch}
            XDG_DATA_HOME=${scratch} XDG_CACHE_HOME=${scratch} XDG_STATE_HOME=${scratch}
            ${HELP2MAN} --no-info --section=1 --name=${PROJECT_DESCRIPTION} --include=${man_extra}
            --output=${man_page} $<TARGET_FILE:larkspur>
    # --help's "Exit status:" ends its options; in a manual page it is a section of its own.
    COMMAND sed -i "s/^\\.SS \"Exit status:\"$/.SH \"EXIT STATUS\"/" ${man_page}
    COMMAND gzip -9nf ${man_page}
    DEPENDS larkspur ${man_extra}
    VERBATIM)
  add_custom_target(larkspur_man_page ALL DEPENDS ${man_page}.gz)
  install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no manual page (scripts/install-deps.sh --all installs it)")
endif()

# The copyright file in Debian's machine-readable form, with the licence text of LICENSE.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${license}")
set(LARKSPUR_COPYRIGHT ${CMAKE_MATCH_1})
string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]+\n+" "" license "${license}")
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " LARKSPUR_LICENSE_TEXT " ${license}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/copyright.in ${debian_out}/copyright @ONLY)
install(FILES ${debian_out}/copyright DESTINATION ${doc_dir})

set(changelog ${PROJECT_SOURCE_DIR}/packaging/debian/changelog)
add_custom_command(
  OUTPUT ${debian_out}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${changelog} ${debian_out}/changelog.Debian
  COMMAND gzip -9nf ${debian_out}/changelog.Debian
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(larkspur_changelog ALL DEPENDS ${debian_out}/changelog.Debian.gz)
install(FILES ${debian_out}/changelog.Debian.gz DESTINATION ${doc_dir})

# A sanitizer build is for the tests: no package is made from it.
if(LARKSPUR_SANITIZE)
  return()
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # larkspur_VERSION-RELEASE_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts the summary line first.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Erases the traces web browsers leave: Firefox's form history, downloads,
typed addresses and history, cookies and cache in every profile that Firefox
lists, and next those of Chrome and Edge, now or at a chosen interval while
it runs, in a window or from the command line. Bookmarks are saved first and
stay, as do passwords and settings. Internet Explorer's items act on Windows;
on Linux only on its stand-in files, where there are any.")
# The libraries the program links come from dpkg-shlibdeps; what it only starts or draws with
# is recommended: Liberation Sans stands in for Arial, xdg-open shows the save log.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, xdg-utils")
include(CPack)
