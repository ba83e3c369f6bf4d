# Runs the resource generator into WORK and compares each picture it writes
# with the committed one in RESOURCES, byte for byte.
#   cmake -DGENERATOR=... -DRESOURCES=... -DWORK=... -P resources-check.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${GENERATOR}" "${WORK}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${status}")
endif()
foreach(name flag_deu.bmp flag_eng.bmp flag_por.bmp program.ico)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${name}" "${RESOURCES}/${name}"
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${name} as generated differs from resources/${name}")
  endif()
endforeach()
message(STATUS "the generator draws the committed pictures")
