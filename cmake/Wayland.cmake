# The Wayland client's build: libwayland-client, wayland-scanner and the
# protocol descriptions it speaks (xdg-shell and xdg-output from
# wayland-protocols; the layer shell, and the virtual pointer the tests
# drive, from resources/wayland, since Debian does not package them).
# Without the development packages the Wayland parts are left out with a
# message, and everything else builds as before.
option(ZORVANE_WAYLAND "Build the Wayland client (Debian: libwayland-dev, wayland-protocols)" ON)
# The shipped builds (scripts/deb.sh, scripts/release.sh) must not leave it out.
option(ZORVANE_WAYLAND_REQUIRED "Fail when the Wayland client cannot be built" OFF)
set(ZORVANE_HAVE_WAYLAND OFF)
if(ZORVANE_WAYLAND)
  find_package(PkgConfig QUIET)
  if(PKG_CONFIG_FOUND)
    pkg_check_modules(WAYLAND_CLIENT QUIET IMPORTED_TARGET wayland-client)
    pkg_check_modules(WAYLAND_PROTOCOLS QUIET wayland-protocols)
  endif()
  find_program(WAYLAND_SCANNER wayland-scanner)
  if(WAYLAND_CLIENT_FOUND AND WAYLAND_PROTOCOLS_FOUND AND WAYLAND_SCANNER)
    pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
    set(ZORVANE_HAVE_WAYLAND ON)
  else()
    if(ZORVANE_WAYLAND_REQUIRED)
      set(level FATAL_ERROR)
    else()
      set(level STATUS)
    endif()
    message(${level} "Wayland client left out: it needs libwayland-client, wayland-scanner and "
      "wayland-protocols (Debian: libwayland-dev wayland-protocols)")
  endif()
endif()

# zorvane_wayland_protocols(TARGET XML...): a static library of the client
# code wayland-scanner writes for each description, with its headers.
function(zorvane_wayland_protocols target)
  set(out ${CMAKE_BINARY_DIR}/wayland)
  set(sources)
  foreach(xml IN LISTS ARGN)
    get_filename_component(base ${xml} NAME_WE)
    add_custom_command(OUTPUT ${out}/${base}-client-protocol.h ${out}/${base}-protocol.c
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
      COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${out}/${base}-client-protocol.h
      COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${out}/${base}-protocol.c
      DEPENDS ${xml}
      VERBATIM)
    list(APPEND sources ${out}/${base}-client-protocol.h ${out}/${base}-protocol.c)
  endforeach()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${out})
  target_link_libraries(${target} PUBLIC PkgConfig::WAYLAND_CLIENT)
endfunction()

if(ZORVANE_HAVE_WAYLAND)
  zorvane_wayland_protocols(zorvane_wayland_protocols
    ${WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml
    ${WAYLAND_PROTOCOLS_DIR}/unstable/xdg-output/xdg-output-unstable-v1.xml
    ${CMAKE_SOURCE_DIR}/resources/wayland/wlr-layer-shell-unstable-v1.xml)
  # The idle watcher's: ext-idle-notify from wayland-protocols, and KDE's
  # older idle protocol where Debian's plasma-wayland-protocols is installed.
  find_file(ZORVANE_KDE_IDLE_XML idle.xml PATHS /usr/share/plasma-wayland-protocols NO_DEFAULT_PATH)
  set(idle_protocols ${WAYLAND_PROTOCOLS_DIR}/staging/ext-idle-notify/ext-idle-notify-v1.xml)
  if(ZORVANE_KDE_IDLE_XML)
    list(APPEND idle_protocols ${ZORVANE_KDE_IDLE_XML})
  elseif(ZORVANE_WAYLAND_REQUIRED)
    message(FATAL_ERROR "The idle watcher needs KDE's idle protocol (Debian: plasma-wayland-protocols)")
  else()
    message(STATUS "The idle watcher leaves out org_kde_kwin_idle (Debian: plasma-wayland-protocols)")
  endif()
  zorvane_wayland_protocols(zorvane_idle_protocols ${idle_protocols})
  zorvane_wayland_protocols(zorvane_wayland_test_protocols
    ${CMAKE_SOURCE_DIR}/resources/wayland/wlr-virtual-pointer-unstable-v1.xml
    ${WAYLAND_PROTOCOLS_DIR}/unstable/idle-inhibit/idle-inhibit-unstable-v1.xml)
endif()
