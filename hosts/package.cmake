# build/3-D-Vistaro.zip: what a Windows user installs, in one folder.
add_custom_target(vistaro_package ALL
  COMMAND ${CMAKE_COMMAND} -DBIN=${VISTARO_BIN} -DOUT=${CMAKE_BINARY_DIR}/3-D-Vistaro.zip
          -DSTAGE=${CMAKE_BINARY_DIR}/package -DREADME=${CMAKE_CURRENT_SOURCE_DIR}/package-readme.txt
          -P ${CMAKE_CURRENT_SOURCE_DIR}/make-archive.cmake
  COMMENT "Packing build/3-D-Vistaro.zip" VERBATIM)
add_dependencies(vistaro_package screensaver vistarodesk vistaro)
foreach(t vxn32 vxg32)
  if(TARGET ${t})
    add_dependencies(vistaro_package ${t})
  endif()
endforeach()

# The driver module and the thunk program are configured after this folder:
# once everything is known, wait for their binaries too.
function(vistaro_package_wait_for dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t ${targets})
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "EXECUTABLE")
      add_dependencies(vistaro_package ${t})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    vistaro_package_wait_for(${sub})
  endforeach()
endfunction()
function(vistaro_package_late)
  foreach(dir driver thunk)
    if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
      vistaro_package_wait_for(${CMAKE_SOURCE_DIR}/${dir})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vistaro_package_late)
