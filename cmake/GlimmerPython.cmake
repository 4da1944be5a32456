# SPDX-License-Identifier: MIT
# What the Python module (python/) needs, found for GLIMMER_PYTHON: a Python 3 interpreter that has PyQt6 with
# its .sip files, sip and PyQt-builder (Debian: python3-pyqt6, pyqt6-dev, sip-tools, python3-pyqtbuild), its
# headers (python3-dev), and Qt's qmake, which PyQt-builder asks how Qt is configured. A Python3_EXECUTABLE
# given on the command line is the only interpreter tried; otherwise python3 on PATH, then the system's
# /usr/bin/python3: an interpreter of one's own (pyenv, a virtual environment) seldom has PyQt6, the
# system's does once Debian's packages are installed.
#
# glimmer_find_python(REQUIRED|OPTIONAL) sets GLIMMER_HAVE_PYTHON, and with it Python3_EXECUTABLE,
# GLIMMER_PYQT6_SIP_DIR (PyQt6's .sip files), GLIMMER_QMAKE and GLIMMER_INSTALL_PYTHONDIR (the prefix's
# site-packages, relative to the prefix).
function(glimmer_python_fails why required)
  if(required)
    message(FATAL_ERROR "GLIMMER_PYTHON=ON: ${why}")
  endif()
  message(STATUS "Python module left out: ${why}")
  set(GLIMMER_HAVE_PYTHON OFF PARENT_SCOPE)
endfunction()

function(glimmer_find_python mode)
  set(required OFF)
  if(mode STREQUAL "REQUIRED")
    set(required ON)
  endif()
  set(GLIMMER_HAVE_PYTHON OFF PARENT_SCOPE)
  if(DEFINED Python3_EXECUTABLE)
    set(candidates ${Python3_EXECUTABLE})
  else()
    find_program(path_python3 NAMES python3 NO_CACHE)
    set(candidates ${path_python3} /usr/bin/python3)
    list(REMOVE_DUPLICATES candidates)
  endif()
  # Prints PyQt6's .sip folder and the prefix's site-packages (posix_prefix: where `pip install --prefix`
  # puts modules, and where this interpreter looks below its own prefix; for /usr, Debian's own interpreter
  # has deb_system, lib/python3/dist-packages, where Debian's packages put modules).
  if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(system_prefix True)
  else()
    set(system_prefix False)
  endif()
  set(probe "import os, sysconfig, PyQt6, PyQt6.QtWidgets, sipbuild, pyqtbuild\n"
            "sip = os.path.join(os.path.dirname(PyQt6.__file__), 'bindings')\n"
            "assert os.path.isfile(os.path.join(sip, 'QtWidgets', 'QtWidgetsmod.sip'))\n"
            "print(sip)\n"
            "root = {'platbase': '/', 'base': '/'}\n"
            "scheme = 'deb_system' if ${system_prefix} and 'deb_system' in sysconfig.get_scheme_names() "
            "else 'posix_prefix'\n"
            "print(sysconfig.get_path('platlib', scheme, root).lstrip('/'))\n")
  string(CONCAT probe ${probe})
  set(found "")
  foreach(candidate IN LISTS candidates)
    if(NOT candidate OR NOT EXISTS ${candidate})
      continue()
    endif()
    execute_process(COMMAND ${candidate} -c "${probe}" RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(status EQUAL 0)
      set(found ${candidate})
      break()
    endif()
  endforeach()
  if(NOT found)
    glimmer_python_fails("no Python 3 with PyQt6, its .sip files, sip and PyQt-builder (tried: ${candidates})"
                         ${required})
    return()
  endif()
  string(REPLACE "\n" ";" out "${out}")
  list(GET out 0 sip_dir)
  list(GET out 1 site_packages)

  set(Python3_EXECUTABLE ${found} CACHE FILEPATH "The Python 3 interpreter the Python module is built for")
  find_package(Python3 COMPONENTS Interpreter Development.Module)
  if(NOT Python3_Development.Module_FOUND)
    glimmer_python_fails("no headers for ${found} (python3-dev)" ${required})
    return()
  endif()
  find_program(GLIMMER_QMAKE NAMES qmake6 qmake HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}
               DOC "Qt 6's qmake, which PyQt-builder asks about Qt")
  if(NOT GLIMMER_QMAKE)
    glimmer_python_fails("no qmake for Qt 6 (qmake6)" ${required})
    return()
  endif()
  set(GLIMMER_INSTALL_PYTHONDIR ${site_packages} CACHE PATH
      "Where the Python module is installed, relative to the prefix")
  set(GLIMMER_PYQT6_SIP_DIR ${sip_dir} PARENT_SCOPE)
  set(GLIMMER_HAVE_PYTHON ON PARENT_SCOPE)
endfunction()
