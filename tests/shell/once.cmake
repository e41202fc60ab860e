# A tiny program that runs the single-instance guard and shows a window
# (optionally a modal dialog over it); the guard tests start it as
# separate processes.
add_executable(fc_once_probe ${CMAKE_CURRENT_LIST_DIR}/once_probe.cpp)
target_link_libraries(fc_once_probe PRIVATE shell_ui)
cmake_language(DEFER CALL target_compile_definitions shell_test_once PRIVATE
  FC_ONCE_PROBE="$<TARGET_FILE:fc_once_probe>")
cmake_language(DEFER CALL add_dependencies shell_test_once fc_once_probe)
