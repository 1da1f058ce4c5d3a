# Cross toolchain: 32-bit Windows with mingw-w64 (posix threads for std::mutex/std::thread).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOL_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
