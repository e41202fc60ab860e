# The executable, in the program folder beside its data files.
add_executable(fancoil-select ${CMAKE_CURRENT_LIST_DIR}/ProgramMain.cpp)
target_link_libraries(fancoil-select PRIVATE shell_ui reports_ui)
set_target_properties(fancoil-select PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FC_PROGRAM_DIR})
