# Unpacks the release archive as a user would, puts the installer alone next
# to the still-packed archive in a second folder, and runs the real program
# from both under Wine.
#   cmake -DARCHIVE=... -DWORK=... -DWINE_RUN=... -DPREFIX=... -DTESTS=... -P archive-check.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/unpacked" "${WORK}/packed")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${ARCHIVE}"
                WORKING_DIRECTORY "${WORK}/unpacked" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not unpack ${ARCHIVE}")
endif()
file(COPY "${ARCHIVE}" "${WORK}/unpacked/LexiphonSetup.exe" DESTINATION "${WORK}/packed")

# Wine shows the Unix root as drive Z:.
string(REPLACE "/" "\\" unpacked "Z:${WORK}/unpacked")
string(REPLACE "/" "\\" packed "Z:${WORK}/packed")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "LEXIPHON_UNPACKED=${unpacked}" "LEXIPHON_PACKED=${packed}"
          "${WINE_RUN}" "${PREFIX}" "${TESTS}" --gtest_filter=ReleaseArchive.* --gtest_brief=1
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the release archive check failed")
endif()
