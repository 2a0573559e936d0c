# Read by cpack before it packs: without SOURCE_DATE_EPOCH from the caller,
# the time of the commit the tree was built from stands for every member's
# time, so packing the same commit again, anywhere, gives the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_ZORVANE_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND epoch MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  else()
    message(WARNING "SOURCE_DATE_EPOCH is not set and ${CPACK_ZORVANE_SOURCE_DIR} is not a git "
      "checkout: the package's member times are the time of packing")
  endif()
endif()
