# A list that outlives everything else at exit.
add_executable(fc_exitorder_probe ${CMAKE_CURRENT_LIST_DIR}/exitorder_probe.cpp)
target_link_libraries(fc_exitorder_probe PRIVATE report_ui)
add_test(NAME report_list_kept_until_exit COMMAND fc_exitorder_probe)
