# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Runs at install time and fills the program folder with what tavelo.exe
# loads, found by tools rather than listed by hand:
# - the QML modules that qmlimportscanner finds for the view, into qml/;
# - the Windows platform plugin, into platforms/;
# - every DLL that the program, the plugin and the QML plugins import, found
#   by reading their import tables with objdump; Windows' own DLLs are the
#   ones that neither Qt nor the MinGW runtime provides, and stay out.
set(dest "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(qt_qml "${TAVELO_QT_PREFIX}/qml")

execute_process(
  COMMAND "${TAVELO_QMLIMPORTSCANNER}" -rootPath "${TAVELO_QML_SOURCE_DIR}" -importPath "${qt_qml}"
  OUTPUT_VARIABLE imports RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "qmlimportscanner failed (${status})")
endif()

set(module_dirs)
string(JSON count LENGTH "${imports}")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON type ERROR_VARIABLE none GET "${imports}" ${i} type)
  string(JSON path ERROR_VARIABLE no_path GET "${imports}" ${i} path)
  if(type STREQUAL "module" AND NOT no_path)
    file(RELATIVE_PATH rel "${qt_qml}" "${path}")
    list(APPEND module_dirs "${rel}")
  endif()
endforeach()
list(REMOVE_DUPLICATES module_dirs)
list(SORT module_dirs)
if(NOT module_dirs)
  message(FATAL_ERROR "qmlimportscanner reported no QML module for the view")
endif()

set(plugins "${TAVELO_QT_PREFIX}/plugins/platforms/qwindows.dll")
foreach(module IN LISTS module_dirs)
  message(STATUS "QML module: ${module}")
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${qt_qml}/${module}"
       "${qt_qml}/${module}/*")
  foreach(file IN LISTS files)
    # Qt Designer's metadata and the type descriptions for tools: never loaded.
    if(file MATCHES "(^|/)designer/" OR file MATCHES "\\.qmltypes$")
      continue()
    endif()
    # A subfolder whose qmldir names a module is another module: it ships
    # only when the scanner names it. (Qt Quick Controls' style folders have
    # a qmldir without a name; the style is picked at run time, Desktop for a
    # widget application, and the controls find no style when it is missing.)
    get_filename_component(sub "${file}" DIRECTORY)
    set(foreign FALSE)
    while(sub)
      set(qmldir "${qt_qml}/${module}/${sub}/qmldir")
      if(EXISTS "${qmldir}")
        file(STRINGS "${qmldir}" names REGEX "^module ")
        if(names)
          set(foreign TRUE)
        endif()
      endif()
      get_filename_component(sub "${sub}" DIRECTORY)
    endwhile()
    if(foreign)
      continue()
    endif()
    get_filename_component(sub "${module}/${file}" DIRECTORY)
    file(INSTALL "${qt_qml}/${module}/${file}" DESTINATION "${dest}/qml/${sub}")
    if(file MATCHES "^[^/]+\\.dll$")
      list(APPEND plugins "${qt_qml}/${module}/${file}")
    endif()
  endforeach()
endforeach()
file(INSTALL "${TAVELO_QT_PREFIX}/plugins/platforms/qwindows.dll" DESTINATION "${dest}/platforms")

# CMake matches import names the Windows way, lower-cased; Linux file names
# are case-sensitive. So every candidate DLL is offered under a lower-case
# link, and each one found is copied from the file it links to, name intact.
set(candidates "${TAVELO_WORK_DIR}/dlls")
file(REMOVE_RECURSE "${candidates}")
file(MAKE_DIRECTORY "${candidates}")
foreach(dir IN LISTS TAVELO_RUNTIME_DIRS)
  file(GLOB found "${dir}/*.dll")
  foreach(dll IN LISTS found)
    get_filename_component(name "${dll}" NAME)
    string(TOLOWER "${name}" name)
    if(NOT EXISTS "${candidates}/${name}")
      file(CREATE_LINK "${dll}" "${candidates}/${name}" SYMBOLIC)
    endif()
  endforeach()
endforeach()

set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM "windows+pe")
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL "objdump")
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${TAVELO_OBJDUMP}")
file(GET_RUNTIME_DEPENDENCIES
  EXECUTABLES "${dest}/${TAVELO_EXE}"
  MODULES ${plugins}
  DIRECTORIES "${candidates}"
  RESOLVED_DEPENDENCIES_VAR found
  UNRESOLVED_DEPENDENCIES_VAR system_dlls)
set(dlls)
foreach(link IN LISTS found)
  file(REAL_PATH "${link}" dll)
  list(APPEND dlls "${dll}")
endforeach()
list(SORT dlls)
foreach(dll IN LISTS dlls)
  message(STATUS "DLL: ${dll}")
endforeach()
list(JOIN system_dlls " " system_list)
message(STATUS "From Windows: ${system_list}")
# Qt's and the runtime's DLLs were all offered above; one left over means a
# folder is missing, and the program would not start.
list(FILTER system_dlls INCLUDE REGEX "^(qt5|lib)")
if(system_dlls)
  message(FATAL_ERROR "Not found: ${system_dlls}")
endif()
file(INSTALL ${dlls} DESTINATION "${dest}")
# Debian's MinGW runtime DLLs carry their debugging symbols (libstdc++ is
# 23 MB with them, 2 MB without); Qt's come stripped.
foreach(dll IN LISTS dlls)
  if(NOT dll MATCHES "^${TAVELO_QT_PREFIX}/")
    get_filename_component(name "${dll}" NAME)
    execute_process(COMMAND "${TAVELO_STRIP}" --strip-unneeded "${dest}/${name}"
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${TAVELO_STRIP} failed on ${name}")
    endif()
  endif()
endforeach()
file(REMOVE_RECURSE "${candidates}")
