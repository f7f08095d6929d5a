# CPack's External generator runs this on the staged files. It zips them itself because CPack's
# own archive generators take the files in the order the file system lists them, which differs
# between machines, and store owners and access times. Here the order is sorted and every entry
# carries one fixed time, so that two builds of the same commit give the same bytes. The time is
# SOURCE_DATE_EPOCH when set, otherwise the commit's time, otherwise 1980-01-01 (the earliest a
# ZIP entry can hold).
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_CODEEINGABE_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  if(failed OR NOT epoch MATCHES "^[0-9]+$")
    set(epoch 315532800)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
set(stage "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB_RECURSE entries LIST_DIRECTORIES false RELATIVE "${stage}" "${stage}/*")
list(SORT entries)

set(zip "${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip")
file(REMOVE "${zip}")
execute_process(COMMAND touch -d "@$ENV{SOURCE_DATE_EPOCH}" ${entries} WORKING_DIRECTORY "${stage}"
                RESULT_VARIABLE failed)
# Info-ZIP with -X: no owner and no access or change times in the entries (-D: no folder entries).
# No top folder: Windows' "Extract all" already makes one named after the ZIP.
# Entry times are local times: TZ=UTC keeps them independent of where the ZIP is made.
if(NOT failed)
  execute_process(COMMAND env TZ=UTC zip -X -D -9 -q "${zip}" ${entries} WORKING_DIRECTORY "${stage}"
                  RESULT_VARIABLE failed)
endif()
if(failed)
  message(FATAL_ERROR "Could not write ${zip}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${zip}")
