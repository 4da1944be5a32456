# SPDX-License-Identifier: MIT
# Debian packages of a build configured for /usr (-DCMAKE_INSTALL_PREFIX=/usr, so that GNUInstallDirs picks
# the multiarch library folder): `cpack -G DEB` in the build folder writes one package per install component,
#   libglimmer<soversion>   libs      the shared libraries (the soname changes with each minor version)
#   libglimmer-dev          dev       headers, link names, the CMake package and the pkg-config files
#   glimmer-designer-plugin designer  the Qt Designer plugin, in Qt's plugin folder
#   qml6-module-glimmer     qml       the QML module Glimmer, in Qt's QML import folder
#   glimmer                 program   the glimmer program
#   python3-glimmer         python    the Python module glimmer
# each with the licence as /usr/share/doc/<package>/copyright. Dependencies on Debian's libraries come from
# dpkg-shlibdeps; those between the packages name this exact version, as the libraries' ABI is not yet kept
# from one build to the next.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmer)
set(CPACK_PACKAGE_VENDOR "Glimmer")
set(CPACK_PACKAGE_CONTACT "Glimmer developers <glimmer@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
# Debug information stays in the build; the packages carry stripped binaries.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(runtime libglimmer${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(this_version "(= ${PROJECT_VERSION})")
# The package's own libraries, for dpkg-shlibdeps: the packages that use them depend on the runtime by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${PROJECT_BINARY_DIR}/host ${PROJECT_BINARY_DIR}/control ${PROJECT_BINARY_DIR}/host/qt
    ${PROJECT_BINARY_DIR}/qt/core ${PROJECT_BINARY_DIR}/qt/widget ${PROJECT_BINARY_DIR}/qt/quick)

# glimmer_deb_component(COMPONENT PACKAGE SECTION SUMMARY DESCRIPTION [DEPENDS ...] [RECOMMENDS ...]): one
# package, with its copyright file, which only a component install (cpack) puts in place.
function(glimmer_deb_component component package section summary description)
  cmake_parse_arguments(ARG "" "" "DEPENDS;RECOMMENDS" ${ARGN})
  string(TOUPPER ${component} upper)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${package} PARENT_SCOPE)
  set(CPACK_DEBIAN_${upper}_PACKAGE_SECTION ${section} PARENT_SCOPE)
  set(CPACK_DEBIAN_${upper}_DESCRIPTION "${summary}\n${description}" PARENT_SCOPE)
  list(JOIN ARG_DEPENDS ", " depends)
  set(CPACK_DEBIAN_${upper}_PACKAGE_DEPENDS "${depends}" PARENT_SCOPE)
  list(JOIN ARG_RECOMMENDS ", " recommends)
  set(CPACK_DEBIAN_${upper}_PACKAGE_RECOMMENDS "${recommends}" PARENT_SCOPE)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package}
          COMPONENT ${component} EXCLUDE_FROM_ALL)
  set(packaged ${GLIMMER_DEB_COMPONENTS} ${component})
  set(GLIMMER_DEB_COMPONENTS ${packaged} PARENT_SCOPE)
endfunction()

# Debian's machine-readable copyright file, with the licence's text.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX MATCH "Copyright[^\n]*" holder "${licence}")
string(REGEX REPLACE "^Copyright (\\(c\\) )?" "" holder "${holder}")
string(REGEX REPLACE "\n\n" "\n.\n" licence_text "${licence}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" licence_text "${licence_text}")
file(WRITE ${PROJECT_BINARY_DIR}/packaging/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PROJECT_NAME}

Files: *
Copyright: ${holder}
License: MIT
 ${licence_text}")

set(GLIMMER_DEB_COMPONENTS "")
set(about " Glimmer is a dot-matrix LED sign control: a scrolling text in dots of light.")
glimmer_deb_component(libs ${runtime} libs "Glimmer LED sign control - shared libraries"
  "${about}\n .\n This package has the shared libraries: the control, its Qt 6 widget and its Qt Quick item.")
glimmer_deb_component(dev libglimmer-dev libdevel "Glimmer LED sign control - development files"
  "${about}\n .\n This package has the headers, the CMake package (find_package(Glimmer)) and the pkg-config\n files (glimmer-control, glimmer-qt)."
  DEPENDS "${runtime} ${this_version}" qt6-base-dev RECOMMENDS qt6-declarative-dev)
if(TARGET glimmer_designer)
  glimmer_deb_component(designer glimmer-designer-plugin devel "Glimmer LED sign control - Qt Designer plugin"
    "${about}\n .\n This package lets Qt Designer place and edit the LedSign widget in forms."
    DEPENDS "${runtime} ${this_version}")
endif()
if(TARGET glimmer_quick_plugin)
  glimmer_deb_component(qml qml6-module-glimmer libs "Glimmer LED sign control - QML module"
    "${about}\n .\n This package has the QML module Glimmer (import Glimmer), with its LedSign item."
    DEPENDS "${runtime} ${this_version}" qml6-module-qtquick)
endif()
if(TARGET glimmer)
  glimmer_deb_component(program glimmer utils "Glimmer LED sign control - the glimmer program"
    "${about}\n .\n The glimmer program shows a sign in a window or a terminal, records it as a GIF and opens\n Qt Designer forms with signs."
    DEPENDS "${runtime} ${this_version}")
endif()
if(TARGET glimmer_python)
  glimmer_deb_component(python python3-glimmer python "Glimmer LED sign control - Python 3 module"
    "${about}\n .\n This package has the Python module glimmer: the LedSign widget for PyQt6."
    DEPENDS "${runtime} ${this_version}" python3-pyqt6)
endif()
set(CPACK_COMPONENTS_ALL ${GLIMMER_DEB_COMPONENTS})
# The runtime's shlibs file: packages built against it depend on this very version.
set(CPACK_DEBIAN_LIBS_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")
include(CPack)
