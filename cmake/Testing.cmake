# GoogleTest for every build, and zorvane_add_test() which registers a test
# binary with CTest. Native builds use the system's GoogleTest; the Windows
# builds compile it from /usr/src/googletest and run each test binary under
# Wine through the harness (scripts/wine-harness.sh), which CTest starts and
# stops as the "wine" fixture.
include(CTest)

if(CMAKE_CROSSCOMPILING AND WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

  set(ZORVANE_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
  set(ZORVANE_WINE_HARNESS ${CMAKE_SOURCE_DIR}/scripts/wine-harness.sh)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZORVANE_WINE_HARNESS} exec ${ZORVANE_WINE_STATE})
  add_test(NAME wine.start COMMAND ${ZORVANE_WINE_HARNESS} start ${ZORVANE_WINE_STATE})
  add_test(NAME wine.stop COMMAND ${ZORVANE_WINE_HARNESS} stop ${ZORVANE_WINE_STATE})
  set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 120)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# zorvane_add_test(target [LOCKS lock...]) - one CTest entry per binary
# under Wine (a Wine process per case would be slow), one per test case
# natively. A binary under Wine has 300 s, a case natively 120 s, so that
# a hang fails by name. Tests that share a Wine prefix must take a lock on what they
# touch: zorvane_registry (the saver's registry key), zorvane_display (they
# open windows, move the cursor or send input on the shared virtual display).
function(zorvane_add_test target)
  cmake_parse_arguments(ARG "" "" "LOCKS" ${ARGN})
  if(CMAKE_CROSSCOMPILING AND WIN32)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300)
    if(ARG_LOCKS)
      set_tests_properties(${target} PROPERTIES RESOURCE_LOCK "${ARG_LOCKS}")
    endif()
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
  endif()
endfunction()
