# build/3-D-Vistaro.zip: what a Windows user installs, in one folder. It is
# packed again only when a program, library or text it holds has changed.
set_property(GLOBAL PROPERTY VISTARO_PACKAGE_SOURCE ${CMAKE_CURRENT_SOURCE_DIR})

# The binaries in a folder's targets (the driver module and the thunk
# program are configured after this folder, so they are looked up at the end).
function(vistaro_package_targets dir out)
  set(found ${${out}})
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t ${targets})
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "EXECUTABLE")
      list(APPEND found ${t})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    vistaro_package_targets(${sub} found)
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(vistaro_package_late)
  get_property(src GLOBAL PROPERTY VISTARO_PACKAGE_SOURCE)
  set(binaries screensaver vistarodesk vistaro)
  foreach(t vxn32 vxg32)
    if(TARGET ${t})
      list(APPEND binaries ${t})
    endif()
  endforeach()
  foreach(dir driver thunk)
    if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
      vistaro_package_targets(${CMAKE_SOURCE_DIR}/${dir} binaries)
    endif()
  endforeach()
  set(zip ${CMAKE_BINARY_DIR}/3-D-Vistaro.zip)
  # Naming the targets makes the zip depend on their files as well.
  add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -DBIN=${VISTARO_BIN} -DOUT=${zip} -DSTAGE=${CMAKE_BINARY_DIR}/package
            -DREADME=${src}/package-readme.txt -DREG=${src}/vistaro.reg -P ${src}/make-archive.cmake
    DEPENDS ${binaries} ${src}/package-readme.txt ${src}/vistaro.reg ${src}/make-archive.cmake
    COMMENT "Packing build/3-D-Vistaro.zip" VERBATIM)
  add_custom_target(vistaro_package ALL DEPENDS ${zip})
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vistaro_package_late)
