# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64).
#
#   cmake -S . -B build/windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DCMAKE_PREFIX_PATH=$PWD/build/win-deps/prefix
#
# The posix thread-model variants of the compilers are used: std::thread and std::mutex need them
# (the win32 variants of GCC 12 lack both). Libraries are looked up only in the MinGW sysroot and in
# the prefix where scripts/build-libjpeg-mingw.sh installs the cross-built libjpeg, never in the
# host's /usr.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOVRIN_MINGW_TRIPLET x86_64-w64-mingw32)

find_program(CMAKE_C_COMPILER NAMES ${TOVRIN_MINGW_TRIPLET}-gcc-posix ${TOVRIN_MINGW_TRIPLET}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TOVRIN_MINGW_TRIPLET}-g++-posix ${TOVRIN_MINGW_TRIPLET}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TOVRIN_MINGW_TRIPLET}-windres REQUIRED)
find_program(CMAKE_AR NAMES ${TOVRIN_MINGW_TRIPLET}-gcc-ar ${TOVRIN_MINGW_TRIPLET}-ar)
find_program(CMAKE_RANLIB NAMES ${TOVRIN_MINGW_TRIPLET}-gcc-ranlib ${TOVRIN_MINGW_TRIPLET}-ranlib)

# The cross-built third-party prefix: TOVRIN_WIN_DEPS in the environment, else the repository's
# build/win-deps/prefix. It is a find root as well as a prefix, so that lookups stay inside it.
if(DEFINED ENV{TOVRIN_WIN_DEPS})
  set(TOVRIN_WIN_DEPS_PREFIX "$ENV{TOVRIN_WIN_DEPS}")
else()
  get_filename_component(TOVRIN_WIN_DEPS_PREFIX
                         "${CMAKE_CURRENT_LIST_DIR}/../build/win-deps/prefix" ABSOLUTE)
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${TOVRIN_MINGW_TRIPLET} "${TOVRIN_WIN_DEPS_PREFIX}")
list(APPEND CMAKE_PREFIX_PATH "${TOVRIN_WIN_DEPS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine when ctest is used directly on the build folder.
find_program(TOVRIN_WINE NAMES wine64 wine HINTS /usr/lib/wine)
if(TOVRIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${TOVRIN_WINE}")
endif()
