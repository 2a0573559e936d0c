# 32-bit Windows with MinGW-w64. SSE2 math keeps double arithmetic
# bit-identical to the 64-bit builds (no x87 extended precision).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZORVANE_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
