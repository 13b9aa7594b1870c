# `cpack -G DEB` in a build tree makes the Debian package of what
# `cmake --install` puts in place (scripts/package.sh builds and checks it).
set(CPACK_PACKAGE_NAME vexal)
set(CPACK_PACKAGE_VENDOR "The Vexal developers")
set(CPACK_PACKAGE_CONTACT "Vexal maintainers <maintainers@vexal.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "low-polygon modeller")
set(CPACK_PACKAGE_DESCRIPTION
  "Vexal builds and edits low-polygon meshes of points, lines and three- or\n\
four-cornered surfaces, with a 16-material palette, per-corner UVs, mirror\n\
modelling and background pictures. It reads and writes OBJ, MQO, DXF, LWO,\n\
3DS, ROK, FCW, MX, glTF and STL files. vexal-tool converts, renders and\n\
edits models from the command line and makes file-manager previews.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY vexal)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link, as Debian package names with versions,
# from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so invisible to dpkg-shlibdeps: the SVG image plugin
# that draws the toolbar icons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# Mesa draws when the desktop has no other OpenGL driver, and for the
# thumbnailer's off-screen pictures.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri, libegl-mesa0, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)
