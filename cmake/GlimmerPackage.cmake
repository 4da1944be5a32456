# SPDX-License-Identifier: MIT
# The installed package: `cmake --install <build> --prefix <P>` puts the public headers under
# <P>/include/glimmer/ (named <glimmer/...> from <P>/include), the shared libraries under <P>/lib/, and the
# CMake package under <P>/lib/cmake/Glimmer/, so that `find_package(Glimmer CONFIG REQUIRED)` gives
#   Glimmer::control  the LED control (and Glimmer::host, the container contract it builds on): standard
#                     library only, C++23;
#   Glimmer::qt       the LedSign widget, which brings Qt 6 Widgets along through find_dependency and
#                     Glimmer::qt_core (the Color enum and the reads and writes every Qt face of the sign
#                     shares). Its headers are plain C++17 with Qt and Glimmer's public headers alone; the
#                     control and the Qt container it is built on (Glimmer::qt_container, Glimmer::qt_host)
#                     are private dependencies, which a consumer neither compiles against nor links.
# `find_package(Glimmer CONFIG REQUIRED COMPONENTS control)` asks for the control alone, without Qt.
# QML programs import the QML module Glimmer (qt/quick) from the prefix's QML import folder, where it is
# installed with its item library (in <P>/lib/) beside the others; `COMPONENTS quick` gives that library as
# Glimmer::quick and the folder as Glimmer_QML_IMPORT_DIR, for programs that load QML from C++.
#
# Every library of the package is shared unless BUILD_SHARED_LIBS is off: a Qt program that also loads a
# plugin built on the widget (Qt Designer's, QUiLoader's) must see one copy of each class and its
# meta-object, or qobject_cast and findChildren fail across them; and a static copy of the control inside a
# shared widget library would meet a second copy in any program that links the control too. A static build
# is for programs that link the widget or the control alone: the plugins stay modules, each with a copy of
# its own, and the QML item's library stays shared (Qt builds a QML plugin as its backing library is).
# Inside the tree the same targets are reachable by their installed names (Glimmer::qt, ...), so examples/
# builds either way.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(GLIMMER_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/glimmer)
set(GLIMMER_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Glimmer)

# glimmer_package_library(TARGET EXPORT_NAME COMPONENT HEADER_DESTINATION): installs a library of
# the package with its header file set, in the export set of its component (Control or Qt).
function(glimmer_package_library target export_name component header_destination)
  set_target_properties(${target} PROPERTIES
    EXPORT_NAME ${export_name}
    VERSION ${PROJECT_VERSION}
    # Before 1.0 a minor version may change the binary interface.
    SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}
    # Installed side by side: each finds the others in its own folder.
    INSTALL_RPATH "$ORIGIN"
    # Static, they go into the plugins (modules) as well as into programs.
    POSITION_INDEPENDENT_CODE ON)
  add_library(Glimmer::${export_name} ALIAS ${target})
  # Nothing in the package is meant to be replaced by another library's definition: its own calls stay
  # direct and inlinable, as in a static library (the tick's drawing calls are many small functions).
  target_compile_options(${target} PRIVATE -fno-semantic-interposition)
  # Installed headers name each other as <glimmer/...>, from the prefix's include folder.
  target_include_directories(${target} INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  # The shared library is the runtime's; its link name, a static library and the headers are the
  # development files' (the Debian packages' split, cmake/GlimmerDebian.cmake).
  install(TARGETS ${target} EXPORT Glimmer${component}Targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT libs NAMELINK_COMPONENT dev
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
    FILE_SET HEADERS DESTINATION ${header_destination} COMPONENT dev)
endfunction()

# The package files, once every library is known.
function(glimmer_install_package)
  install(EXPORT GlimmerControlTargets NAMESPACE Glimmer:: DESTINATION ${GLIMMER_INSTALL_CMAKEDIR} COMPONENT dev)
  if(TARGET glimmer_qt)
    install(EXPORT GlimmerQtTargets NAMESPACE Glimmer:: DESTINATION ${GLIMMER_INSTALL_CMAKEDIR} COMPONENT dev)
  endif()
  if(TARGET glimmer_quick)
    install(EXPORT GlimmerQuickTargets NAMESPACE Glimmer:: DESTINATION ${GLIMMER_INSTALL_CMAKEDIR}
            COMPONENT dev)
    # The module's import folder as the installed package finds it: below its own prefix, wherever that is.
    if(IS_ABSOLUTE "${GLIMMER_INSTALL_QMLDIR}")
      set(GLIMMER_PACKAGE_QMLDIR ${GLIMMER_INSTALL_QMLDIR})
    else()
      set(GLIMMER_PACKAGE_QMLDIR "\${_glimmer_prefix}/${GLIMMER_INSTALL_QMLDIR}")
    endif()
  endif()
  set(GLIMMER_QT_VERSION_REQUIRED 6.2)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/GlimmerConfig.cmake.in
    ${PROJECT_BINARY_DIR}/GlimmerConfig.cmake INSTALL_DESTINATION ${GLIMMER_INSTALL_CMAKEDIR})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/GlimmerConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/GlimmerConfig.cmake ${PROJECT_BINARY_DIR}/GlimmerConfigVersion.cmake
    DESTINATION ${GLIMMER_INSTALL_CMAKEDIR} COMPONENT dev)
  # With the development files: a runtime package of one version holds only files named by that version.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/glimmer COMPONENT dev)
endfunction()
