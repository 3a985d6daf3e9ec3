# Shared build rules for the project's Windows binaries.

set(VISTARO_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
# No mingw runtime DLLs beside the binaries.
set(VISTARO_STATIC_LINK -static -static-libgcc -static-libstdc++)
find_program(VISTARO_DLLTOOL i686-w64-mingw32-dlltool REQUIRED)

# A DLL exporting undecorated names from a .def file. stdcall functions are
# listed as Name@N in the .def and --kill-at strips the decoration from the
# export. The linker's own import library would lose the decoration too, so
# it is remade from the .def with dlltool -k: callers' Name@N references then
# resolve to the undecorated export.
#   vistaro_dll(target OUTPUT name.dll DEF file.def SOURCES ...)
function(vistaro_dll target)
  cmake_parse_arguments(A "" "OUTPUT;DEF" "SOURCES" ${ARGN})
  add_library(${target} SHARED ${A_SOURCES} ${A_DEF})
  get_filename_component(base ${A_OUTPUT} NAME_WE)
  get_filename_component(ext ${A_OUTPUT} LAST_EXT)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${base} SUFFIX ${ext}
                        IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a")
  target_compile_options(${target} PRIVATE ${VISTARO_WARNINGS})
  target_link_options(${target} PRIVATE ${VISTARO_STATIC_LINK} -Wl,--kill-at -Wl,--enable-stdcall-fixup)
  get_filename_component(def ${A_DEF} ABSOLUTE)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${VISTARO_DLLTOOL} -k -d ${def} -D ${A_OUTPUT} -l $<TARGET_LINKER_FILE:${target}>
    VERBATIM)
endfunction()

# A Windows program (GUI subsystem unless CONSOLE is given).
#   vistaro_exe(target OUTPUT "name.exe" [CONSOLE] SOURCES ...)
function(vistaro_exe target)
  cmake_parse_arguments(A "CONSOLE" "OUTPUT" "SOURCES" ${ARGN})
  if(A_CONSOLE)
    add_executable(${target} ${A_SOURCES})
  else()
    add_executable(${target} WIN32 ${A_SOURCES})
  endif()
  if(A_OUTPUT)
    get_filename_component(base "${A_OUTPUT}" NAME_WE)
    get_filename_component(ext "${A_OUTPUT}" LAST_EXT)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME "${base}" SUFFIX "${ext}")
  endif()
  target_compile_options(${target} PRIVATE ${VISTARO_WARNINGS})
  target_link_options(${target} PRIVATE ${VISTARO_STATIC_LINK})
endfunction()

# A GoogleTest program run by CTest through Wine (see cmake/wine-run.in).
#   vistaro_test(name SOURCES ... LIBS ... [SERIAL] [WINEDLLOVERRIDES text] [ENV k=v ...] [TIMEOUT s])
function(vistaro_test name)
  cmake_parse_arguments(A "SERIAL" "WINEDLLOVERRIDES;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE vistaro_gtest ${A_LIBS})
  target_compile_options(${name} PRIVATE ${VISTARO_WARNINGS})
  target_link_options(${name} PRIVATE ${VISTARO_STATIC_LINK})
  add_test(NAME ${name} COMMAND ${name})
  set(env "")
  if(A_WINEDLLOVERRIDES)
    list(APPEND env "WINEDLLOVERRIDES=${A_WINEDLLOVERRIDES}")
  endif()
  # No test may wait on a message box: the engine's default seam records
  # boxes to this file instead of showing them (engine/msgbox.h).
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/messageboxes)
  string(REPLACE "/" "\\" boxlog "Z:${CMAKE_BINARY_DIR}/messageboxes/${name}.log")
  list(APPEND env "VISTARO_MESSAGEBOX_LOG=${boxlog}")
  list(APPEND env ${A_ENV})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} ENVIRONMENT "${env}")
  # Tests that take focus, move the mouse or go full screen share one X display.
  if(A_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()
