# Cross-compiling the window for 64-bit Windows with the Qt that
# scripts/build-qt-windows builds (its install prefix in TERRAX_QT_WINDOWS,
# given with -D or in the environment):
#
#   cmake -S . -B build/windows-qt -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW-w64-Qt.cmake \
#         -DTERRAX_QT_WINDOWS=/var/cache/terrax/qt-6.4.2-mingw64-gcc12-posix
#
# The programs link the MinGW run-time dynamically, like Qt's DLLs, so that
# one C++ run-time serves both. Qt's host tools (moc, rcc, uic) are Debian's
# of the same version.
set(TERRAX_MINGW_SHARED_RUNTIME ON)
include("${CMAKE_CURRENT_LIST_DIR}/MinGW-w64.cmake")

if(NOT TERRAX_QT_WINDOWS)
  set(TERRAX_QT_WINDOWS "$ENV{TERRAX_QT_WINDOWS}")
endif()
if(NOT EXISTS "${TERRAX_QT_WINDOWS}/lib/cmake/Qt6/Qt6Config.cmake")
  message(FATAL_ERROR "No Qt for Windows in \"${TERRAX_QT_WINDOWS}\": run scripts/build-qt-windows "
                      "and give its prefix as TERRAX_QT_WINDOWS")
endif()
# try_compile projects see the prefix through the environment.
set(ENV{TERRAX_QT_WINDOWS} "${TERRAX_QT_WINDOWS}")
list(APPEND CMAKE_FIND_ROOT_PATH "${TERRAX_QT_WINDOWS}")
list(APPEND CMAKE_PREFIX_PATH "${TERRAX_QT_WINDOWS}")
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
