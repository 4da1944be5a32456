# SPDX-License-Identifier: MIT
# cmake -DDOXYGEN=... -DDOXYFILE=... -DOUTPUT_DIR=... -P api_reference_test.cmake
# Runs Doxygen afresh and fails on any message it prints (a warning stops it with an error as well), or when
# the main page or the widget's page is missing.
file(REMOVE_RECURSE ${OUTPUT_DIR})
get_filename_component(folder ${DOXYFILE} DIRECTORY)
execute_process(COMMAND ${DOXYGEN} ${DOXYFILE} WORKING_DIRECTORY ${folder} RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE messages)
if(NOT status EQUAL 0 OR NOT messages STREQUAL "")
  message(FATAL_ERROR "doxygen (${status}):\n${messages}")
endif()
foreach(page index.html classglimmer_1_1qt_1_1LedSign.html)
  if(NOT EXISTS ${OUTPUT_DIR}/html/${page})
    message(FATAL_ERROR "doxygen wrote no ${page}")
  endif()
endforeach()
message(STATUS "API reference: ${OUTPUT_DIR}/html/index.html, no warnings")
