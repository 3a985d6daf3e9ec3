# cmake -DBIN=... -DOUT=... -DSTAGE=... -DREADME=... -DREG=... -P make-archive.cmake
set(folder "3-D Vistaro")
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY "${STAGE}/${folder}")
# The deliverables, and the two outside libraries the programs import at load
# time (this build's stand-ins). The password stand-in is never shipped: a copy
# beside the saver would take the place of the system's own check.
foreach(name "3-D Vistaro Screensaver.scr" vistarodesk.exe vistaro.dll vxn32.dll vxg32.dll
             rastrel.vxn VXNUT.EXE)
  if(EXISTS "${BIN}/${name}")
    file(COPY "${BIN}/${name}" DESTINATION "${STAGE}/${folder}")
  else()
    message(FATAL_ERROR "missing ${BIN}/${name}")
  endif()
endforeach()
# The texts in the line endings of the system they are for.
foreach(pair "${README}|README.txt" "${REG}|vistaro.reg")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  file(READ "${from}" text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${STAGE}/${folder}/${to}" "${text}")
endforeach()
file(REMOVE "${OUT}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${OUT}" --format=zip "${folder}"
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "could not write ${OUT}")
endif()
