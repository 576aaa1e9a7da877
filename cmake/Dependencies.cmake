# Third-party libraries come from the system (Debian packages natively; for the Windows build,
# libjpeg is cross-built into the build folder by scripts/build-libjpeg-mingw.sh and found through
# CMAKE_PREFIX_PATH).
find_package(JPEG REQUIRED)
find_package(Threads REQUIRED)
if(NOT WIN32)
  find_package(PNG REQUIRED)
  # Caption text everywhere but on Windows, which draws it with GDI.
  find_package(Freetype REQUIRED)
  find_package(Fontconfig REQUIRED)
endif()
# tovrin-pack's picture conversion: TurboJPEG for lossless rotations (Debian's libturbojpeg0-dev;
# for Windows cross-built beside libjpeg), and libheif for HEIC/HEIF pictures (Linux only). The
# fuzzing build needs them too, for the import's fuzz targets.
find_path(TURBOJPEG_INCLUDE_DIR turbojpeg.h REQUIRED)
find_library(TURBOJPEG_LIBRARY NAMES turbojpeg REQUIRED)
add_library(TurboJPEG::TurboJPEG UNKNOWN IMPORTED)
set_target_properties(TurboJPEG::TurboJPEG PROPERTIES IMPORTED_LOCATION "${TURBOJPEG_LIBRARY}"
                      INTERFACE_INCLUDE_DIRECTORIES "${TURBOJPEG_INCLUDE_DIR}")
if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(HEIF REQUIRED IMPORTED_TARGET libheif)
  # Movies: FFmpeg's libraries (the video player, tovrin-pack's movie listing).
  # tovrin-studio's HTTP server: Debian's cpp-httplib, whose implementation is a shared library.
  pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
  pkg_check_modules(TOVRIN_FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libswscale
                    libswresample libavutil)
endif()
# The Linux back end: SDL2 for windows, SDL2_mixer for sound (its header only: the engine loads the
# library when the first sound opens; the back end's tests link it), GTK 3 for the setup dialog,
# XCB for windows of other programs and for the desk's monitors (RandR, Xinerama).
if(NOT WIN32 AND NOT TOVRIN_FUZZ)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(TOVRIN_SDL REQUIRED IMPORTED_TARGET sdl2 x11)
  pkg_check_modules(TOVRIN_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)
  pkg_check_modules(TOVRIN_GTK REQUIRED IMPORTED_TARGET gtk+-3.0)
  pkg_check_modules(TOVRIN_XCB REQUIRED IMPORTED_TARGET xcb xcb-randr xcb-xinerama)
  # The tests read back the cursor shown over the show's windows.
  pkg_check_modules(TOVRIN_XFIXES REQUIRED IMPORTED_TARGET xfixes)
endif()
if(TOVRIN_TESTS)
  if(WIN32)
    # Debian ships GoogleTest's sources; build them with the cross compiler.
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # Newer GoogleTest sources define the namespaced aliases themselves.
    if(NOT TARGET GTest::gtest)
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
      add_library(GTest::gmock ALIAS gmock)
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
endif()
if(TOVRIN_BENCH AND NOT TOVRIN_FUZZ AND NOT WIN32)
  find_package(benchmark REQUIRED)
endif()

# CLI11 and nlohmann-json, header-only libraries the tools parse command lines and write JSON with.
# Natively their CMake packages are found as usual. The Windows build takes the host's copies of
# their headers: each header folder is linked into a folder of its own in the build tree, so that
# only these headers, and none of the host's others, reach the cross compiler's include path.
function(tovrin_host_header_library target header)
  get_filename_component(folder "${header}" DIRECTORY)
  string(MAKE_C_IDENTIFIER "${folder}" id)
  find_path(TOVRIN_HOST_${id}_INCLUDE_DIR NAMES "${header}" PATHS /usr/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(staged "${CMAKE_BINARY_DIR}/host-headers/${id}")
  file(MAKE_DIRECTORY "${staged}")
  file(CREATE_LINK "${TOVRIN_HOST_${id}_INCLUDE_DIR}/${folder}" "${staged}/${folder}" SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${staged}")
endfunction()

if(CMAKE_CROSSCOMPILING)
  tovrin_host_header_library(CLI11::CLI11 CLI/CLI.hpp)
  tovrin_host_header_library(nlohmann_json::nlohmann_json nlohmann/json.hpp)
else()
  find_package(CLI11 2.1 CONFIG REQUIRED)
  find_package(nlohmann_json 3.10 CONFIG REQUIRED)
endif()
