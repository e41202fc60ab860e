# The program folder's settings across configure runs, as ./dev.sh run and
# ./dev.sh test configure at every call.
add_test(NAME shell_first_run_keeps_saved_settings
  COMMAND ${CMAKE_COMMAND} -DDATA_DIR=${CMAKE_SOURCE_DIR}/data
          -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/first_run_check
          -P ${CMAKE_CURRENT_LIST_DIR}/first_run/check_settings.cmake)
