# What `cmake --install` puts where (GNU layout), and the Debian package `cpack -G DEB` makes of it.
# The programs find the shared folder relative to their own (src/core/data/locations.h), so the
# installed tree works from any prefix, even after it is moved.

set(GLOBEVIEW_ID io.github.globeview.GlobeView)
set(GLOBEVIEW_DIST_DIR ${CMAKE_SOURCE_DIR}/dist)
set(GLOBEVIEW_METAINFO ${CMAKE_BINARY_DIR}/dist/${GLOBEVIEW_ID}.metainfo.xml)
configure_file(${GLOBEVIEW_DIST_DIR}/${GLOBEVIEW_ID}.metainfo.xml.in ${GLOBEVIEW_METAINFO} @ONLY)

install(TARGETS globeview globeview-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${GLOBEVIEW_ASSETS_DIR}/data.dat ${GLOBEVIEW_ASSETS_DIR}/data2.dat
              ${GLOBEVIEW_ASSETS_DIR}/borders.dat ${GLOBEVIEW_ASSETS_DIR}/countries.dat
              ${GLOBEVIEW_ASSETS_DIR}/cities.dat
        DESTINATION ${GLOBEVIEW_SHARE_DIR})
install(FILES ${GLOBEVIEW_DIST_DIR}/${GLOBEVIEW_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${GLOBEVIEW_METAINFO} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(DIRECTORY ${GLOBEVIEW_DIST_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons)

# The manual pages and the changelog are installed compressed, as Debian has them; -n keeps the
# time and the name out of the gzip header, so the same text always makes the same bytes.
set(GLOBEVIEW_GZIPPED)
function(globeview_gzip source copy)
  configure_file(${source} ${copy} @ONLY)
  add_custom_command(OUTPUT ${copy}.gz COMMAND gzip -9nkf ${copy} DEPENDS ${copy}
                     COMMENT "Compressing ${copy}")
  set(GLOBEVIEW_GZIPPED ${GLOBEVIEW_GZIPPED} ${copy}.gz PARENT_SCOPE)
endfunction()
foreach(page globeview.1 globeview-render.1)
  globeview_gzip(${CMAKE_SOURCE_DIR}/docs/man/${page}.in ${CMAKE_BINARY_DIR}/man/${page})
  install(FILES ${CMAKE_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
globeview_gzip(${GLOBEVIEW_DIST_DIR}/changelog ${CMAKE_BINARY_DIR}/dist/changelog)
add_custom_target(globeview-compressed ALL DEPENDS ${GLOBEVIEW_GZIPPED})

# The user's README with its pictures beside it, the licences in Debian's machine-readable form
# (GlobeView's and the coastline data's) and the release notes.
set(GLOBEVIEW_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/globeview)
install(FILES ${GLOBEVIEW_DIST_DIR}/README.md ${GLOBEVIEW_DIST_DIR}/copyright
              ${CMAKE_SOURCE_DIR}/docs/window.png ${CMAKE_SOURCE_DIR}/docs/readout.png
              ${CMAKE_SOURCE_DIR}/docs/render.png ${CMAKE_BINARY_DIR}/dist/changelog.gz
        DESTINATION ${GLOBEVIEW_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME globeview)
set(CPACK_PACKAGE_VENDOR "The GlobeView developers")
set(GLOBEVIEW_MAINTAINER "The GlobeView developers <globeview@users.noreply.github.com>"
    CACHE STRING "Maintainer named in the Debian package")
set(CPACK_PACKAGE_CONTACT ${GLOBEVIEW_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "world map in an azimuthal equidistant projection")
# Follows the summary in the package; Debian wants lines of under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "GlobeView draws the coastlines of the whole earth around any point you name:
every other point lies in its true direction from it, at a distance
proportional to its distance on the globe. globeview-render draws the same
picture without a window, for scripts.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped as Debian's own packages are, which also drops the compilers' .comment notes.
set(CPACK_STRIP_FILES OFF)
set(CPACK_GLOBEVIEW_STRIP ${CMAKE_STRIP})
set(CPACK_GLOBEVIEW_BINDIR ${CMAKE_INSTALL_BINDIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/strip_package.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The libraries come from dpkg-shlibdeps; Qt's platform plugins, a font with the labels' Japanese
# and Qt's Japanese translations are loaded at run time, which it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
