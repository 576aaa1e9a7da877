# What `cmake --install` puts where, and the packages CPack makes of it.
#
# Linux (any prefix; the Debian package uses /usr):
#   bin/tovrin-pack, bin/tovrin-render        the tools (and bin/tovrin-studio where it is built)
#   lib/tovrin/tovrin                         the engine: a template tovrin-pack copies, not a program
#                                             anyone starts, so it stays off PATH; tovrin-pack finds
#                                             it at ../lib/tovrin from its own folder
#   share/tovrin/xscreensaver/tovrin.xml      XScreenSaver's settings description of a saver
#   share/tovrin/windows/tovrin.exe           the Windows engine, when it was built
#   share/man/man1/tovrin-pack.1.gz, ...      man pages made by help2man from --help and --version
#   share/doc/tovrin/copyright, changelog.gz
# Windows (the zip): tovrin.exe and tovrin-pack.exe side by side, and README.txt.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME tovrin)
set(CPACK_PACKAGE_VENDOR "The Tovrin developers")
set(CPACK_PACKAGE_CONTACT "The Tovrin developers <tovrin@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture slide-show screen savers for Linux and Windows")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
  install(TARGETS tovrin tovrin-pack RUNTIME DESTINATION .)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt
                 ${CMAKE_CURRENT_BINARY_DIR}/packaging/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tovrin-${PROJECT_VERSION}-windows)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
  return()
endif()

# tovrin-studio too, in builds that have it.
set(tovrin_tools tovrin-pack tovrin-render)
if(TARGET tovrin-studio)
  list(APPEND tovrin_tools tovrin-studio)
endif()
install(TARGETS ${tovrin_tools} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tovrin RUNTIME DESTINATION lib/tovrin)
install(FILES ${PROJECT_SOURCE_DIR}/share/xscreensaver/tovrin.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tovrin/xscreensaver)

# The Windows engine of the cross build (scripts/windows-test.sh --engine-only), when it existed
# as this build folder was configured. A file for tovrin-pack --engine, not a program to run here:
# not executable.
set(TOVRIN_WINDOWS_ENGINE ${PROJECT_SOURCE_DIR}/build/windows/src/app/tovrin.exe
    CACHE FILEPATH "The Windows engine to install beside the Linux one, when it exists")
if(EXISTS ${TOVRIN_WINDOWS_ENGINE})
  install(FILES ${TOVRIN_WINDOWS_ENGINE} DESTINATION ${CMAKE_INSTALL_DATADIR}/tovrin/windows)
endif()

# Man pages from the tools' own --help and --version, so they say what the tools do. Not in the
# sanitizer builds, whose tools are not the ones installed.
find_program(HELP2MAN help2man)
find_program(GZIP gzip)
if(HELP2MAN AND GZIP AND NOT TOVRIN_SANITIZE AND NOT TOVRIN_TSAN)
  set(man_pages)
  set(tovrin-pack_summary "make, inspect, unpack and install picture screen savers")
  set(tovrin-render_summary "compose a screen saver's transition frames and shows off screen")
  set(tovrin-studio_summary "make picture screen savers in the browser")
  foreach(tool ${tovrin_tools})
    set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${tool}.1)
    # gzip -n: no name or time stamp inside, so the page is the same at every build.
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
      COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 "--name=${${tool}_summary}"
              --output=${page}
              $<TARGET_FILE:${tool}>
      COMMAND ${GZIP} -9nf ${page}
      DEPENDS ${tool}
      COMMENT "Writing the man page of ${tool}"
      VERBATIM)
    list(APPEND man_pages ${page}.gz)
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man or gzip not found (or a sanitizer build): no man pages")
endif()

add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
  COMMAND ${GZIP} -9nc ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
          > ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
  VERBATIM)
add_custom_target(package_docs ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
              ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: tovrin_<version>_<arch>.deb, its Depends worked out by dpkg-shlibdeps from
# the libraries the programs really link, and the ones the engine loads at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries the engine loads only when first needed (GTK 3 for the setup dialog and message
# boxes, SDL2_mixer for sound, FFmpeg's for movies) are invisible to dpkg-shlibdeps: they are named
# here, by the Debian package names of the sonames the build compiled against.
if(TOVRIN_FFMPEG_FOUND AND TOVRIN_MIXER_FOUND AND TOVRIN_GTK_FOUND)
  set(tovrin_loaded_packages libgtk-3-0 libsdl2-mixer-2.0-0)
  foreach(lib libavformat libavcodec libswscale libswresample libavutil)
    string(REGEX MATCH "^[0-9]+" major "${TOVRIN_FFMPEG_${lib}_VERSION}")
    list(APPEND tovrin_loaded_packages "${lib}${major}")
  endforeach()
  list(JOIN tovrin_loaded_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; these are the lines after it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tovrin packs photographs, music and a caption into a finished screen\n"
    "saver: a copy of its engine with the pictures appended. The saver shows\n"
    "them full screen through 128 animated transitions, on Linux (also inside\n"
    "XScreenSaver) and, made from the Windows engine, as a Windows .scr.\n"
    ".\n"
    "This package holds the engine, tovrin-pack (build, inspect, extract and\n"
    "install savers) and tovrin-render (transition frames and whole shows off\n"
    "screen).")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
include(CPack)
