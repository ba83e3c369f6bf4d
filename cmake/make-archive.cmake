# Lays out the distribution archive: the installer next to the add-in's four
# single files and its Dictionaries folder, zipped flat.
#   cmake -DEXE=... -DADDIN=... -DOUT_DIR=... -DNAME=Lx110 -P make-archive.cmake
foreach(required EXE ADDIN OUT_DIR NAME)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "make-archive: ${required} is not set")
  endif()
endforeach()
set(items SortTxtFile.bat Lexiphon.dot Lexiphon.exp Lexiphon.ini Dictionaries)
foreach(item ${items})
  if(NOT EXISTS "${ADDIN}/${item}")
    message(FATAL_ERROR "${ADDIN} has no ${item}: not an add-in folder")
  endif()
endforeach()

set(stage "${OUT_DIR}/${NAME}")
file(REMOVE_RECURSE "${stage}" "${OUT_DIR}/${NAME}.zip")
file(MAKE_DIRECTORY "${stage}")
file(COPY "${EXE}" DESTINATION "${stage}")
foreach(item ${items})
  file(COPY "${ADDIN}/${item}" DESTINATION "${stage}")
endforeach()
file(GLOB entries RELATIVE "${stage}" "${stage}/*")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${OUT_DIR}/${NAME}.zip" --format=zip -- ${entries}
                WORKING_DIRECTORY "${stage}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not write ${OUT_DIR}/${NAME}.zip")
endif()
