# Run by cpack before it packs: every time stamp in the .deb (the files, the folders, the control
# and data archives and the ar members) is SOURCE_DATE_EPOCH, which CPack's DEB generator
# honours. When it is not set it is the time of the last commit, so that two builds of one
# commit give the same bytes; outside a git clone the times are the files' own.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_VORL_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE vorl_epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE vorl_git_status ERROR_QUIET)
  if(vorl_git_status EQUAL 0 AND vorl_epoch MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} ${vorl_epoch})
  endif()
endif()
