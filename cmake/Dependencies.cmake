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
