# The Debian package (make deb): the X11 saver installed where XScreenSaver
# looks for its hacks, its settings file, its manual page and
# zorvane-render. The shared-library dependencies are computed by
# dpkg-shlibdeps.
install(TARGETS zorvane RUNTIME DESTINATION libexec/xscreensaver)
install(TARGETS zorvane-render RUNTIME DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/hacks/zorvane.xml DESTINATION share/xscreensaver/config)

set(manpage ${CMAKE_BINARY_DIR}/zorvane.6.gz)
add_custom_command(OUTPUT ${manpage}
  COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/hacks/zorvane.6 > ${manpage}
  DEPENDS ${CMAKE_SOURCE_DIR}/hacks/zorvane.6 VERBATIM)
add_custom_target(zorvane_manpage ALL DEPENDS ${manpage})
install(FILES ${manpage} DESTINATION share/man/man6)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zorvane developers <maintainers@zorvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver of random 3-D attractors of iterated function systems")
set(CPACK_PACKAGE_DESCRIPTION "Two random affine maps of space are drawn; a random walk that applies one
of them at each step makes a cloud of points, projected in perspective and
plotted in one random colour. Runs as an XScreenSaver hack, standalone in a
window or full-screen; zorvane-render writes the same frames as PNG files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_STRIP_FILES ON)
include(CPack)
