# Shared by the mingw-w64 toolchain files, which set TOOL_PREFIX first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${TOOL_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOL_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOL_PREFIX}-windres)
set(CMAKE_AR           ${TOOL_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${TOOL_PREFIX}-ranlib CACHE FILEPATH "")

# Third-party libraries built by scripts/setup.sh live in VELKARO_DEPS.
set(CMAKE_FIND_ROOT_PATH /usr/${TOOL_PREFIX} ${VELKARO_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything links statically: no libstdc++/libwinpthread DLLs at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test executables run through the project's Wine wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)

# Rebuilds of the same sources in another checkout come from ccache when it is
# installed (scripts/build.sh points its base folder at the checkout).
find_program(VELKARO_CCACHE ccache)
if(VELKARO_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${VELKARO_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${VELKARO_CCACHE})
endif()
