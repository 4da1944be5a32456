# SPDX-License-Identifier: MIT
# pkg-config files for builds that do not use CMake: `pkg-config --cflags --libs glimmer-qt` gives what a
# program on the LedSign widget compiles and links with, `glimmer-control` the same for the control alone.
# They are installed to <P>/<libdir>/pkgconfig and find the prefix from their own place (${pcfiledir}), so
# an installed tree may be moved; `--static` adds what a static build of the libraries links besides.
#
# glimmer_pkg_config(NAME DESCRIPTION DESCRIPTION [REQUIRES modules...] [LIBS libraries...]
#                    [PRIVATE_LIBS libraries...] [CFLAGS flags...]): one file, NAME.pc. LIBS are linked by
#                    every program, PRIVATE_LIBS by programs linking a static build only (a shared library
#                    brings its own).
function(glimmer_pkg_config name)
  cmake_parse_arguments(ARG "" "DESCRIPTION" "REQUIRES;LIBS;PRIVATE_LIBS;CFLAGS" ${ARGN})
  set(pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  file(RELATIVE_PATH to_prefix /${pkgconfig_dir} /)
  string(REGEX REPLACE "/$" "" to_prefix "${to_prefix}")
  list(TRANSFORM ARG_LIBS PREPEND -l)
  list(TRANSFORM ARG_PRIVATE_LIBS PREPEND -l)
  if(BUILD_SHARED_LIBS)
    set(private_libs "")
  else()
    list(JOIN ARG_PRIVATE_LIBS " " private_libs)
  endif()
  list(JOIN ARG_LIBS " " libs)
  list(JOIN ARG_REQUIRES " " requires)
  list(JOIN ARG_CFLAGS " " cflags)
  file(WRITE ${PROJECT_BINARY_DIR}/pkgconfig/${name}.pc
"prefix=\${pcfiledir}/${to_prefix}
libdir=\${prefix}/${CMAKE_INSTALL_LIBDIR}
includedir=\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}

Name: ${name}
Description: ${ARG_DESCRIPTION}
Version: ${PROJECT_VERSION}
Requires: ${requires}
Libs: -L\${libdir} ${libs}
Libs.private: ${private_libs}
Cflags: -I\${includedir} ${cflags}
")
  install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${name}.pc DESTINATION ${pkgconfig_dir} COMPONENT dev)
endfunction()
