# What `cmake --install` puts where, and the Debian package CPack makes of it.
#
#   bin/facetry, bin/facetry-mesh
#   share/facetry/Shapes/            the shape library; the editor looks beside itself
#                                    first (a build tree), then in ../share/facetry
#   share/applications/facetry.desktop
#   share/mime/packages/facetry.xml  the .x type; .3ds is the shared database's image/x-3ds
#   share/icons/hicolor/NxN/apps/facetry.png
#   share/man/man1/facetry.1, facetry-mesh.1
#
# bin and share are fixed rather than taken from GNUInstallDirs: the editor finds its
# shapes by that relation.
install(TARGETS facetry facetry-mesh RUNTIME DESTINATION bin)
install(DIRECTORY "${PROJECT_BINARY_DIR}/app/Shapes" DESTINATION share/facetry)
install(FILES "${PROJECT_SOURCE_DIR}/desktop/facetry.desktop" DESTINATION share/applications)
install(FILES "${PROJECT_SOURCE_DIR}/desktop/facetry-mime.xml" DESTINATION share/mime/packages
        RENAME facetry.xml)
install(DIRECTORY "${PROJECT_BINARY_DIR}/icons/hicolor" DESTINATION share/icons)
install(FILES "${PROJECT_SOURCE_DIR}/man/facetry.1" "${PROJECT_SOURCE_DIR}/man/facetry-mesh.1"
        DESTINATION share/man/man1)

set(CPACK_PACKAGE_NAME facetry)
set(CPACK_PACKAGE_VENDOR Facetry)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "polygon mesh editor for .x and .3ds files")
set(CPACK_PACKAGE_CONTACT "Facetry developers <developers@facetry.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# CPack indents the lines after the first as the control file wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Builds and edits polygon meshes in three snapped 3D views with a 3D cursor, and\n\
opens and saves .x and .3ds files. Comes with facetry-mesh, which reports on, checks,\n\
converts and draws mesh files from the command line.")
# The shared libraries the programs link decide the dependencies. Without the tool that
# reads them, the same list by name (Debian 12's packages).
find_program(FACETRY_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(FACETRY_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), libpng16-16, zlib1g, libstdc++6, libgcc-s1, libc6")
endif()
# The menus, file types and icons are picked up through these packages' triggers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
include(CPack)
