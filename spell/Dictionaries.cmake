# The spelling dictionaries are not part of the repository: Debian's
# hunspell-ru and hunspell-en-us provide them, and the build copies them into
# Support/dict/ next to the executable and next to the test executables.
set(KORVEX_DICTIONARIES ru_RU en_US)
set(_dict_files)
foreach(_d ${KORVEX_DICTIONARIES})
  foreach(_ext aff dic)
    find_file(KORVEX_DICT_${_d}_${_ext} ${_d}.${_ext} PATHS /usr/share/hunspell /usr/share/myspell/dicts NO_DEFAULT_PATH)
    if(KORVEX_DICT_${_d}_${_ext})
      list(APPEND _dict_files ${KORVEX_DICT_${_d}_${_ext}})
    else()
      message(WARNING "${_d}.${_ext} not found: install hunspell-ru and hunspell-en-us (scripts/install-deps.sh)")
    endif()
  endforeach()
endforeach()
set(_dict_stamps)
foreach(_dest ${CMAKE_BINARY_DIR}/Support/dict ${CMAKE_BINARY_DIR}/tests/Support/dict)
  set(_stamp ${_dest}/.copied)
  add_custom_command(OUTPUT ${_stamp}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_dest}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_dict_files} ${_dest}
    COMMAND ${CMAKE_COMMAND} -E touch ${_stamp}
    DEPENDS ${_dict_files}
    COMMENT "Copying the spelling dictionaries to ${_dest}")
  list(APPEND _dict_stamps ${_stamp})
endforeach()
add_custom_target(korvex_dict ALL DEPENDS ${_dict_stamps})
# Everything that links the spelling library finds its dictionaries in place.
add_dependencies(korvex_spell korvex_dict)
