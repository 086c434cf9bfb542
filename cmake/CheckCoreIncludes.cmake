# Fails when a file outside a ui/, gui/, window/ or test folder includes a header of
# Qt's window modules (Gui, Widgets, PrintSupport, WebEngine): core code
# must build and run without a display.
#   cmake -DROOT=<source> -DQT_HEADERS=<qt6 include root> -P CheckCoreIncludes.cmake

cmake_minimum_required(VERSION 3.25)

set(window_modules QtGui QtWidgets QtPrintSupport QtWebEngineCore QtWebEngineWidgets QtOpenGL QtOpenGLWidgets)
set(forbidden "")
foreach(module IN LISTS window_modules)
  list(APPEND forbidden "${module}")
  file(GLOB names RELATIVE "${QT_HEADERS}/${module}" "${QT_HEADERS}/${module}/Q*")
  list(APPEND forbidden ${names})
endforeach()
list(REMOVE_DUPLICATES forbidden)

set(core_files "")
foreach(dir common editor ftp snipport stylesheet)
  file(GLOB_RECURSE found "${ROOT}/${dir}/*.h" "${ROOT}/${dir}/*.cpp")
  list(APPEND core_files ${found})
endforeach()

set(failures "")
foreach(f IN LISTS core_files)
  file(RELATIVE_PATH rel "${ROOT}" "${f}")
  # Windows and the programs' entry points may use the window modules.
  if(rel MATCHES "/(ui|gui|window)/" OR rel MATCHES "(^|/)main\\.cpp$")
    if(NOT rel STREQUAL "editor/setup/main.cpp")
      continue()
    endif()
  endif()
  file(STRINGS "${f}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*<")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^>/]+)(/[^>]*)?>.*" "\\1" name "${line}")
    if(name IN_LIST forbidden)
      list(APPEND failures "${rel}: ${line}")
    endif()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "core files include window headers:\n  ${text}")
endif()
list(LENGTH core_files n)
message(STATUS "${n} files checked: no window headers in core code")
