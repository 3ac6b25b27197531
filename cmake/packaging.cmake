# What `cmake --install` puts where (GNU layout), and the Debian package `cpack -G DEB` makes of it.
# The programs find the shared folder relative to their own (src/core/data/locations.h), so the
# installed tree works from any prefix, even after it is moved.

set(GLOBEVIEW_ID io.github.globeview.GlobeView)
set(GLOBEVIEW_DIST_DIR ${CMAKE_SOURCE_DIR}/dist)
set(GLOBEVIEW_METAINFO ${CMAKE_BINARY_DIR}/dist/${GLOBEVIEW_ID}.metainfo.xml)
configure_file(${GLOBEVIEW_DIST_DIR}/${GLOBEVIEW_ID}.metainfo.xml.in ${GLOBEVIEW_METAINFO} @ONLY)

install(TARGETS globeview globeview-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${GLOBEVIEW_ASSETS_DIR}/data.dat ${GLOBEVIEW_ASSETS_DIR}/data2.dat
        DESTINATION ${GLOBEVIEW_SHARE_DIR})
install(FILES ${GLOBEVIEW_DIST_DIR}/${GLOBEVIEW_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${GLOBEVIEW_METAINFO} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(DIRECTORY ${GLOBEVIEW_DIST_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons)
foreach(page globeview.1 globeview-render.1)
  configure_file(${CMAKE_SOURCE_DIR}/docs/man/${page}.in ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/globeview)

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
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The libraries come from dpkg-shlibdeps; Qt's platform plugins and a font with the labels' Japanese
# are loaded at run time, which it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
include(CPack)
