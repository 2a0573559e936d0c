# The Debian package (make deb): the X11 saver installed where XScreenSaver
# looks for its hacks (and linked from /usr/bin), its settings file, zorvane-render, the command that
# adds Zorvane to a user's list of hacks, their manual pages, and the
# package's copyright, changelog and README.Debian. The shared-library
# dependencies are computed by dpkg-shlibdeps.
#
# The same commit gives the same bytes: every member's time is
# SOURCE_DATE_EPOCH (CPack honours it for the ar members, both tar archives
# and their gzip headers; cmake/PackageEpoch.cmake sets it from the commit
# when the caller has not), gzip writes no name or time, and directories
# and files have fixed modes whatever the umask.
set(debian_texts ${CMAKE_SOURCE_DIR}/resources/debian)

# The packaged programs are hardened as Debian builds its own: checked
# string and memory functions where the compiler can tell the sizes, and
# every symbol bound at start-up, so the relocations can be made read-only.
# (The sanitizer build is not optimised, and fortification needs that.)
foreach(program zorvane zorvane-render)
  if(NOT ZORVANE_SANITIZE)
    target_compile_definitions(${program} PRIVATE _FORTIFY_SOURCE=2)
  endif()
  target_link_options(${program} PRIVATE -Wl,-z,relro,-z,now)
endforeach()
set(doc share/doc/zorvane)

# The version is written once, in project(); the changelog's top entry
# must name it.
file(STRINGS ${debian_texts}/changelog top LIMIT_COUNT 1)
if(NOT top MATCHES "^zorvane \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "resources/debian/changelog: the top entry is \"${top}\"; "
    "it must be for version ${PROJECT_VERSION} (project() in CMakeLists.txt)")
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS zorvane RUNTIME DESTINATION libexec/xscreensaver)
# ... and on PATH, for idle daemons, compositors' configurations and the
# login entry of zorvane --autostart, which run it by name.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package-links)
file(CREATE_LINK ../libexec/xscreensaver/zorvane ${CMAKE_BINARY_DIR}/package-links/zorvane SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/package-links/zorvane DESTINATION bin)
install(TARGETS zorvane-render RUNTIME DESTINATION bin)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/hacks/zorvane-xscreensaver-add DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/hacks/zorvane.xml DESTINATION share/xscreensaver/config)
install(FILES ${debian_texts}/copyright ${debian_texts}/README.Debian DESTINATION ${doc})

# gzip -9n: no name, no time stamp, so the bytes depend on the text alone.
function(zorvane_gzip source destination)
  get_filename_component(name ${source} NAME)
  set(gz ${CMAKE_BINARY_DIR}/package-texts/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package-texts
    COMMAND gzip -9 -n -c ${source} > ${gz}
    DEPENDS ${source} VERBATIM)
  list(APPEND ZORVANE_GZIPPED ${gz})
  set(ZORVANE_GZIPPED ${ZORVANE_GZIPPED} PARENT_SCOPE)
  install(FILES ${gz} DESTINATION ${destination})
endfunction()
set(ZORVANE_GZIPPED)
zorvane_gzip(${CMAKE_SOURCE_DIR}/hacks/zorvane.6 share/man/man6)
zorvane_gzip(${CMAKE_SOURCE_DIR}/hacks/zorvane-render.1 share/man/man1)
zorvane_gzip(${CMAKE_SOURCE_DIR}/hacks/zorvane-xscreensaver-add.1 share/man/man1)
zorvane_gzip(${debian_texts}/changelog ${doc})
add_custom_target(zorvane_package_texts ALL DEPENDS ${ZORVANE_GZIPPED})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zorvane developers <maintainers@zorvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver of random 3-D attractors of iterated function systems")
set(CPACK_PACKAGE_DESCRIPTION "Two random affine maps of space are drawn; a random walk that applies one
of them at each step makes a cloud of points, projected in perspective and
plotted in one random colour. Each frame paints a new attractor over the
ones before it, or shows the current one spinning on a black screen.
.
The package holds the hack for XScreenSaver, which also runs standalone in
a window or full-screen; zorvane-xscreensaver-add, which adds it to a
user's list of hacks; and zorvane-render, which writes the same frames as
PNG files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_ZORVANE_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/PackageEpoch.cmake)
include(CPack)
