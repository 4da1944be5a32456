# SPDX-License-Identifier: MIT
# The API reference (Doxygen) of the Qt faces' public headers: `cmake --build <build> --target
# glimmer_api_docs` writes <build>/docs/api/html/index.html. Without doxygen, or without Qt, it is left out.
if(NOT GLIMMER_HAVE_QT)
  return()
endif()
find_program(GLIMMER_DOXYGEN doxygen DOC "Doxygen, for the API reference")
if(NOT GLIMMER_DOXYGEN)
  message(STATUS "doxygen not found: no API reference")
  return()
endif()
set(GLIMMER_API_DOCS_DIR ${PROJECT_BINARY_DIR}/docs/api)
configure_file(${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${PROJECT_BINARY_DIR}/docs/Doxyfile @ONLY)
add_custom_target(glimmer_api_docs
  COMMAND ${GLIMMER_DOXYGEN} ${PROJECT_BINARY_DIR}/docs/Doxyfile
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/docs
  COMMENT "Writing the API reference to ${GLIMMER_API_DOCS_DIR}/html"
  VERBATIM)
