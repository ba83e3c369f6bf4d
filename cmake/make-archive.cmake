# Lays out the distribution archive: the installer next to the add-in's four
# single files and its Dictionaries folder, zipped flat.
#   cmake -DEXE=... -DADDIN=... -DOUT_DIR=... -DNAME=Lx110 -DITEMS="a;b;..." -P make-archive.cmake
# ITEMS are the package's files and folders, as the build lists them.
# The same input gives the same bytes, wherever and whenever it is packed:
# the members go in byte order, with fixed modes and one date, to Debian's
# zip (CMake's own writer stores access times, the packer's ids and local
# time). The date is SOURCE_DATE_EPOCH when set, else the last commit's,
# else 1980-01-01 00:00:00 UTC, the earliest a zip can hold.
foreach(required EXE ADDIN OUT_DIR NAME ITEMS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "make-archive: ${required} is not set")
  endif()
endforeach()
set(items ${ITEMS})
foreach(item ${items})
  if(NOT EXISTS "${ADDIN}/${item}")
    message(FATAL_ERROR "${ADDIN} has no ${item}: not an add-in folder")
  endif()
endforeach()

set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY "${CMAKE_CURRENT_LIST_DIR}"
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  set(epoch 315532800)
endif()

set(stage "${OUT_DIR}/${NAME}")
set(zip "${OUT_DIR}/${NAME}.zip")
file(REMOVE_RECURSE "${stage}" "${zip}")
file(MAKE_DIRECTORY "${stage}")
set(modes FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
          DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
file(COPY "${EXE}" DESTINATION "${stage}" ${modes})
foreach(item ${items})
  file(COPY "${ADDIN}/${item}" DESTINATION "${stage}" ${modes})
endforeach()
file(GLOB_RECURSE members RELATIVE "${stage}" LIST_DIRECTORIES false "${stage}/*")
list(SORT members)
list(TRANSFORM members PREPEND "${stage}/" OUTPUT_VARIABLE paths)
list(JOIN members "\n" listing)
file(WRITE "${stage}.members" "${listing}\n")
execute_process(COMMAND touch -d "@${epoch}" ${paths} RESULT_VARIABLE failed)
if(NOT failed)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -q -X -D "${zip}" -@
                  INPUT_FILE "${stage}.members" WORKING_DIRECTORY "${stage}" RESULT_VARIABLE failed)
endif()
file(REMOVE "${stage}.members")
if(failed)
  file(REMOVE "${zip}")
  message(FATAL_ERROR "could not write ${zip}: ${failed}")
endif()
