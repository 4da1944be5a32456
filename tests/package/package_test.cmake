# SPDX-License-Identifier: MIT
# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=... -DCXX_COMPILER=... -DCXX_FLAGS=...
#       -DLIBDIR=<the library folder, relative to the prefix> [-DPROGRAM=<the glimmer program, likewise>]
#       [-DDESIGNER_PLUGIN=<the plugin's path under the prefix>] [-DQML_DIR=... [-DQMLTESTRUNNER=...]
#       [-DQMLLINT=...]]
#       [-DPYTHON_DIR=... -DPYTHON=...] -P package_test.cmake
# Installs the build into WORK_DIR/prefix, checks what was installed, then configures, builds and runs the
# consumer project and builds examples/ against that prefix, each in a folder of its own. With QML_DIR (the
# QML module's import folder, relative to the prefix) the module must be there too, and a C++ program on
# Glimmer::quick loads it; with QMLTESTRUNNER a QML test imports it from there alone; with QMLLINT
# examples/sign.qml is linted against it. With PYTHON_DIR (the Python module's site-packages, relative to the
# prefix) the package glimmer must be there, and PYTHON makes a sign with it from there alone.
cmake_minimum_required(VERSION 3.25)

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${out}")
  endif()
  message(STATUS "${what}: done")
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run("cmake --install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# Only the public headers, the libraries, the package files, the program, the Designer plugin in Qt's plugin
# folder and the QML module; nothing of the tests or the build tree.
file(GLOB_RECURSE installed RELATIVE ${prefix} ${prefix}/*)
string(REPLACE "." "\\." libdir_pattern "${LIBDIR}")
set(allowed "^(include/glimmer/.+\\.h|"
            "${libdir_pattern}/libglimmer_(host|control|qt_host|qt_container|qt_core|qt|quick)\\.so(\\.[0-9.]+)?|"
            "${libdir_pattern}/cmake/Glimmer/Glimmer[A-Za-z]*(-[a-z]+)?\\.cmake|"
            "${libdir_pattern}/pkgconfig/glimmer-(control|qt)\\.pc|"
            "share/doc/glimmer/LICENSE")
if(PROGRAM)
  list(APPEND allowed "|${PROGRAM}")
endif()
if(DESIGNER_PLUGIN)
  list(APPEND allowed "|${DESIGNER_PLUGIN}")
endif()
if(QML_DIR)
  string(REPLACE "." "\\." qml_dir_pattern "${QML_DIR}")
  list(APPEND allowed "|${qml_dir_pattern}/Glimmer/(qmldir|glimmer_quick\\.qmltypes|libglimmer_quick_plugin\\.so)")
endif()
if(PYTHON_DIR)
  string(REPLACE "." "\\." python_dir_pattern "${PYTHON_DIR}")
  list(APPEND allowed "|${python_dir_pattern}/glimmer/(__init__\\.py|_uic_names\\.py|"
                      "uic-plugins/glimmer_sign\\.py|_glimmer\\.abi3\\.so)")
endif()
string(CONCAT allowed ${allowed} ")$")
foreach(file IN LISTS installed)
  if(NOT file MATCHES "${allowed}")
    message(FATAL_ERROR "installed, but not part of the package: ${file}")
  endif()
  if(file MATCHES "\\.(h|cmake|pc)$")
    file(READ ${prefix}/${file} text)
    # Installed headers name each other as <glimmer/...>: a consumer's own host/ or control/ cannot shadow them.
    if(text MATCHES "#include \"(host|control|qt)/")
      message(FATAL_ERROR "${file} includes a header by a path of the source tree")
    endif()
    foreach(tree ${BUILD_DIR} ${SOURCE_DIR})
      string(FIND "${text}" "${tree}" at)
      if(NOT at EQUAL -1)
        message(FATAL_ERROR "${file} names ${tree}")
      endif()
    endforeach()
  endif()
endforeach()
set(required include/glimmer/qt/led_sign.h include/glimmer/control/led.h ${LIBDIR}/cmake/Glimmer/GlimmerConfig.cmake
             ${LIBDIR}/cmake/Glimmer/GlimmerConfigVersion.cmake ${DESIGNER_PLUGIN} ${PROGRAM})
if(QML_DIR)
  list(APPEND required ${QML_DIR}/Glimmer/qmldir ${QML_DIR}/Glimmer/libglimmer_quick_plugin.so)
endif()
if(PYTHON_DIR)
  list(APPEND required ${PYTHON_DIR}/glimmer/__init__.py ${PYTHON_DIR}/glimmer/_glimmer.abi3.so)
endif()
foreach(needed IN LISTS required)
  if(NOT EXISTS ${prefix}/${needed})
    message(FATAL_ERROR "not installed: ${needed}")
  endif()
endforeach()

# The installed program runs on the prefix's libraries, and says the package's version.
if(PROGRAM)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/${LIBDIR} ${prefix}/${PROGRAM} --version
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  file(STRINGS ${SOURCE_DIR}/CMakeLists.txt project_line REGEX "^project\\(glimmer VERSION")
  string(REGEX MATCH "VERSION ([0-9.]+)" version_word "${project_line}")
  if(NOT status EQUAL 0 OR NOT out MATCHES "${CMAKE_MATCH_1}")
    message(FATAL_ERROR "the installed glimmer --version (${status}): ${out}")
  endif()
  message(STATUS "installed glimmer --version: ${out}")
endif()

set(configure_options -G ${GENERATOR} -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
                      "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if(QML_DIR)
  set(expect_quick ON)
else()
  set(expect_quick OFF)
endif()
run("configure the consumer" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/package/consumer -B ${WORK_DIR}/consumer
    ${configure_options} -DEXPECT_QUICK=${expect_quick})
run("build the consumer" ${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run("control_consumer" ${WORK_DIR}/consumer/control_consumer)
run("sign_consumer" ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${WORK_DIR}/consumer/sign_consumer)
if(QML_DIR)
  run("quick_consumer" ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen --unset=QML2_IMPORT_PATH
      --unset=QML_IMPORT_PATH ${WORK_DIR}/consumer/quick_consumer)
endif()

# pkg-config alone, as a build without CMake uses the package: the same consumers compiled and linked with
# what `pkg-config --cflags --libs` says, and run against the prefix's libraries.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
file(MAKE_DIRECTORY ${WORK_DIR}/pkg-config)
separate_arguments(cxx_flags UNIX_COMMAND "${CXX_FLAGS}")
set(consumers control_consumer sign_consumer)
set(modules glimmer-control glimmer-qt)
# The consumer's own standard: the control's .pc asks for C++23; a Qt program sets C++17 itself (Qt's .pc files
# name none, and clang 14 would otherwise compile C++14).
set(standards none -std=c++17)
foreach(consumer module standard IN ZIP_LISTS consumers modules standards)
  if(standard STREQUAL "none")
    set(standard "")
  endif()
  execute_process(COMMAND ${PKG_CONFIG} --cflags --libs ${module} RESULT_VARIABLE status OUTPUT_VARIABLE flags
                  ERROR_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "pkg-config ${module} failed:\n${flags}")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  execute_process(COMMAND ${PKG_CONFIG} --modversion ${module} OUTPUT_VARIABLE version
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  list(APPEND flags "-DGLIMMER_PACKAGE_VERSION=\"${version}\"")
  run("build ${consumer} with pkg-config ${module}" ${CXX_COMPILER} ${cxx_flags} ${standard}
      ${SOURCE_DIR}/tests/package/consumer/${consumer}.cpp ${flags} -o ${WORK_DIR}/pkg-config/${consumer})
  run("${consumer} built with pkg-config" ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
      LD_LIBRARY_PATH=${prefix}/${LIBDIR} ${WORK_DIR}/pkg-config/${consumer})
endforeach()

run("configure examples/" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples -B ${WORK_DIR}/examples ${configure_options})
run("build examples/" ${CMAKE_COMMAND} --build ${WORK_DIR}/examples)

# QML tools see the installed module whole: qmllint on examples/sign.qml, with the prefix's import folder
# alone, resolves the item, its base type and its Color enum, and has nothing to say.
if(QMLLINT)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=QML2_IMPORT_PATH --unset=QML_IMPORT_PATH
                          ${QMLLINT} -I ${prefix}/${QML_DIR} ${SOURCE_DIR}/examples/sign.qml
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0 OR out MATCHES "Warning")
    message(FATAL_ERROR "qmllint examples/sign.qml against the installed module (${status}):\n${out}")
  endif()
  message(STATUS "qmllint examples/sign.qml: clean")
endif()

# `import Glimmer` from the prefix's QML import folder, and nothing else of this tree.
if(QMLTESTRUNNER)
  run("the installed QML module" ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen --unset=QML2_IMPORT_PATH
      --unset=QML_IMPORT_PATH ${QMLTESTRUNNER} -import ${prefix}/${QML_DIR}
      -input ${SOURCE_DIR}/tests/package/consumer/tst_installed_module.qml)
endif()

# `from glimmer import LedSign` with the prefix's site-packages on PYTHONPATH, and nothing else of this tree:
# the module finds the package's libraries by its relative path.
if(PYTHON_DIR)
  string(CONCAT program "from PyQt6.QtWidgets import QApplication\n" "app = QApplication([])\n"
                        "from glimmer import LedSign\n" "sign = LedSign()\n" "sign.setText('HI')\n"
                        "assert sign.start() and sign.advance() and sign.width() == 161\n")
  run("the installed Python module" ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
      PYTHONDONTWRITEBYTECODE=1 PYTHONPATH=${prefix}/${PYTHON_DIR} ${PYTHON} -c "${program}")
endif()
