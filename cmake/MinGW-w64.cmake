# Cross-compiling for 64-bit Windows with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64-posix: the POSIX thread model, which std::thread needs).
#
#   cmake -S . -B build/mingw -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW-w64.cmake \
#         -DTERRAX_UI=OFF -DTERRAX_TESTS=OFF
#   cmake --build build/mingw --target terrax-convert
#
# Programs link statically, so that each .exe runs alone; they run under Wine
# (wine64), which CTest and CMake use as the emulator. Wine finds the DLLs of
# a program in the folders of WINEPATH, which the scripts set.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TERRAX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TERRAX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TERRAX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TERRAX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TERRAX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The window's build (MinGW-w64-Qt.cmake) links the run-time dynamically, as
# the Qt DLLs do, and ships its DLLs.
if(NOT TERRAX_MINGW_SHARED_RUNTIME)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()

find_program(TERRAX_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TERRAX_WINE64)
  # Wine keeps the Windows it runs the programs in (its prefix, made on first
  # use, without .NET and the HTML engine) in the build tree, and keeps quiet
  # about what it does not implement.
  set(TERRAX_WINEPREFIX "${CMAKE_BINARY_DIR}/wine" CACHE PATH "Wine's prefix for the programs")
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEPREFIX=${TERRAX_WINEPREFIX} WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml= ${TERRAX_WINE64})
endif()
