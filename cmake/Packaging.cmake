# The packages, made by `cpack` in a build folder (scripts/package.sh builds and tries them):
# natively, the Debian packages gantry (the editor) and gantry-cli; in the Windows cross build,
# a zip of gantry-cli.exe. Each carries Gantry's licence and those of the libraries built in.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/Changelog.cmake)

set(GANTRY_PACKAGE_MAINTAINER
    "Gantry maintainers <maintainers@users.noreply.c-seed-8e8106d6.example>"
    CACHE STRING "Maintainer named by the packages and their changelog")
set(GANTRY_APPSTREAM_ID io.github.gantry_hod.Gantry)
set(gantry_packaging ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${gantry_packaging})

gantry_read_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md "${GANTRY_PACKAGE_MAINTAINER}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
if(NOT GANTRY_DEBIAN_CHANGELOG MATCHES "^gantry \\(${PROJECT_VERSION}\\)")
  message(WARNING "CHANGELOG.md has no dated section for ${PROJECT_VERSION} at its top; the "
                  "packages' changelogs need one")
endif()

# Libraries whose code is in the programs: stb and CLI11 always (header-only), libsquish and
# {fmt} in the Windows build (on Debian they are the system's shared libraries).
set(gantry_third_party libsquish stb fmt CLI11)

function(gantry_gzip file)
  execute_process(COMMAND gzip -9nf ${file} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${file} failed")
  endif()
endfunction()

set(CPACK_PACKAGE_NAME gantry)
set(CPACK_PACKAGE_VENDOR "The Gantry developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${GANTRY_PACKAGE_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)

if(WIN32)
  # Windows texts with Windows line ends, one flat folder.
  foreach(pair "packaging/windows-readme.txt;README.txt" "LICENSE;LICENSE.txt"
               "CHANGELOG.md;CHANGELOG.md")
    list(GET pair 0 from)
    list(GET pair 1 to)
    configure_file(${PROJECT_SOURCE_DIR}/${from} ${gantry_packaging}/${to} @ONLY
                   NEWLINE_STYLE CRLF)
    install(FILES ${gantry_packaging}/${to} DESTINATION . COMPONENT cli)
  endforeach()
  foreach(library ${gantry_third_party})
    configure_file(${PROJECT_SOURCE_DIR}/licences/${library}.txt
                   ${gantry_packaging}/licences/${library}.txt COPYONLY)
    install(FILES ${gantry_packaging}/licences/${library}.txt DESTINATION licences COMPONENT cli)
  endforeach()
  # The MinGW-w64 runtime (C runtime, winpthreads) and GCC's runtime libraries are linked in
  # statically: their terms as the toolchain's Debian packages state them.
  foreach(pair "mingw-w64-x86-64-dev;mingw-w64-runtime.txt"
               "gcc-mingw-w64-x86-64-posix-runtime;gcc-runtime.txt")
    list(GET pair 0 package)
    list(GET pair 1 to)
    if(EXISTS /usr/share/doc/${package}/copyright)
      install(FILES /usr/share/doc/${package}/copyright DESTINATION licences RENAME ${to}
              COMPONENT cli)
    else()
      message(WARNING "/usr/share/doc/${package}/copyright is missing; the zip lacks ${to}")
    endif()
  endforeach()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Command-line toolkit for Homeworld 2 HOD model files")
  set(CPACK_PACKAGE_FILE_NAME gantry-cli-${PROJECT_VERSION}-windows-x64)
  include(CPack)
  return()
endif()

# Debian: each package's documentation folder holds the copyright file (Gantry's licence and
# the libraries') and the changelog made from CHANGELOG.md.
string(CONCAT copyright "Gantry (the gantry and gantry-cli packages)\n"
       "Copyright: 2026 The Gantry developers\n"
       "Licence: MIT (below)\n\n")
file(READ ${PROJECT_SOURCE_DIR}/LICENSE text)
string(APPEND copyright "${text}\n"
       "The programs are built with the following libraries. The code of stb and CLI11 is\n"
       "compiled into them; libsquish and {fmt} are the system's shared libraries here (and\n"
       "compiled in on Windows).\n")
foreach(library ${gantry_third_party})
  file(READ ${PROJECT_SOURCE_DIR}/licences/${library}.txt text)
  string(APPEND copyright "\n------------------------------------------------------------------------------\n"
         "${text}")
endforeach()
file(WRITE ${gantry_packaging}/copyright "${copyright}")
file(WRITE ${gantry_packaging}/changelog "${GANTRY_DEBIAN_CHANGELOG}")
gantry_gzip(${gantry_packaging}/changelog)
configure_file(${PROJECT_SOURCE_DIR}/data/gantry.1.in ${gantry_packaging}/gantry.1 @ONLY)
gantry_gzip(${gantry_packaging}/gantry.1)
configure_file(${PROJECT_SOURCE_DIR}/data/gantry.metainfo.xml.in
               ${gantry_packaging}/${GANTRY_APPSTREAM_ID}.metainfo.xml @ONLY)

foreach(pair "editor;gantry" "cli;gantry-cli")
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES ${gantry_packaging}/copyright ${gantry_packaging}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endforeach()
if(GANTRY_BUILD_GUI)
  install(FILES ${gantry_packaging}/gantry.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT editor)
  install(FILES ${gantry_packaging}/${GANTRY_APPSTREAM_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo COMPONENT editor)
endif()

set(CPACK_GENERATOR DEB)
# Each description's first line is the package's synopsis.
set(CPACK_DEB_COMPONENT_INSTALL ON)
if(GANTRY_BUILD_GUI)
  set(CPACK_COMPONENTS_ALL editor cli)
else()
  set(CPACK_COMPONENTS_ALL cli)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE gantry)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries the programs link, as this system's packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_EDITOR_PACKAGE_NAME gantry)
set(CPACK_DEBIAN_CLI_PACKAGE_NAME gantry-cli)
set(CPACK_COMPONENT_EDITOR_DESCRIPTION
    "editor for Homeworld 2 HOD model files
Gantry HOD Editor opens, edits and saves HOD files, the binary model format of
the game Homeworld 2, both classic and HOD 2.0 (Homeworld Remastered). It edits
every family of data a HOD carries, shows the model in a four-view 3D viewer,
exchanges meshes and textures as OBJ, TGA and DDS files, runs HOD scripts,
undoes every change and checks a model before saving it. A damaged file never
crashes it: it says what is wrong, where, and keeps what it could read.")
set(CPACK_COMPONENT_CLI_DESCRIPTION
    "command-line toolkit for Homeworld 2 HOD model files
gantry-cli inspects, validates, converts and edits HOD files, the binary model
format of Homeworld 2 (classic and HOD 2.0): summaries as text or JSON, the
checks a save runs, rescaling and rotation, OBJ and texture export and import,
HOD scripts, star maps, background textures and field-by-field comparison.")
include(CPack)
