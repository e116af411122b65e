# What `make install` puts where, and the Debian package made from the same rules.
include(GNUInstallDirs)

set(QUILLON_LINUX ${CMAKE_SOURCE_DIR}/data/linux)
set(QUILLON_GENERATED ${CMAKE_BINARY_DIR}/install-files)
set(QUILLON_SHARE ${CMAKE_INSTALL_DATADIR}/quillon)
file(MAKE_DIRECTORY ${QUILLON_GENERATED})

install(TARGETS quillon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The word lists the build wrote, as the build wrote them: the copies beside the program may
# have grown from a `make run`, the ".built" ones never change after the build.
foreach(ext bin ctx dic def)
  install(FILES ${CMAKE_BINARY_DIR}/quillon.${ext}.built DESTINATION ${QUILLON_SHARE} RENAME quillon.${ext})
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/data/help/quillon.html DESTINATION ${QUILLON_SHARE})

install(FILES ${QUILLON_LINUX}/quillon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUILLON_LINUX}/quillon.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
configure_file(${QUILLON_LINUX}/org.quillon.Quillon.metainfo.xml ${QUILLON_GENERATED}/org.quillon.Quillon.metainfo.xml @ONLY)
install(FILES ${QUILLON_GENERATED}/org.quillon.Quillon.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon at the sizes desktops ask for, drawn from the one SVG at build time.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(QUILLON_SVG ${CMAKE_SOURCE_DIR}/resources/icons/quillon.svg)
set(QUILLON_ICONS)
foreach(size 16 32 48 64 128 256)
  set(png ${QUILLON_GENERATED}/icons/${size}/quillon.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLON_GENERATED}/icons/${size}
    COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${QUILLON_SVG}
    DEPENDS ${QUILLON_SVG}
    VERBATIM)
  list(APPEND QUILLON_ICONS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${QUILLON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Debian wants the manual page and the changelog compressed without a time stamp.
configure_file(${QUILLON_LINUX}/quillon.1 ${QUILLON_GENERATED}/quillon.1 @ONLY)
string(TIMESTAMP QUILLON_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${QUILLON_LINUX}/changelog ${QUILLON_GENERATED}/changelog @ONLY)
add_custom_command(OUTPUT ${QUILLON_GENERATED}/quillon.1.gz ${QUILLON_GENERATED}/changelog.gz
  COMMAND gzip -9nkf ${QUILLON_GENERATED}/quillon.1 ${QUILLON_GENERATED}/changelog
  DEPENDS ${QUILLON_GENERATED}/quillon.1 ${QUILLON_GENERATED}/changelog
  VERBATIM)
add_custom_target(quillon_install_files ALL DEPENDS ${QUILLON_ICONS} ${QUILLON_GENERATED}/quillon.1.gz)
install(FILES ${QUILLON_GENERATED}/quillon.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QUILLON_LINUX}/copyright ${QUILLON_GENERATED}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# `make package`: a .deb whose dependencies come from the program's shared libraries. The
# desktop, MIME and icon caches are refreshed by the triggers those Debian packages own.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR "The Quillon developers")
set(CPACK_PACKAGE_CONTACT "The Quillon developers <maintainers@quillon.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and build front end for MapBasic")
# Debian wraps nothing itself: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "Quillon edits MapBasic sources, projects, definition files and
compiler error files, the files of the MapInfo desktop GIS's scripting
language, as tabs over one editor with syntax highlighting, completions,
help contexts and a code outline. It compiles and links through the
MapBasic compiler (under Wine when that is a Windows program), shows the
compiler's errors beside the source and stays fast on very large files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillon.org/")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
