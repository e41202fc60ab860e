# The widget tests drive the controls with QTest; the exception probe is a
# program of its own, since only it can own the application object.
find_package(Qt6 6.4 REQUIRED COMPONENTS Test)
cmake_language(DEFER CALL target_link_libraries platform_uitest_widgets PRIVATE Qt6::Test)
cmake_language(DEFER CALL target_link_libraries platform_uitest_dialogs PRIVATE Qt6::Test)

add_executable(fc_exception_probe ${CMAKE_CURRENT_LIST_DIR}/exception_probe.cpp)
target_link_libraries(fc_exception_probe PRIVATE platform_ui Qt6::Test)
cmake_language(DEFER CALL target_compile_definitions platform_uitest_application PRIVATE
  FC_EXCEPTION_PROBE="$<TARGET_FILE:fc_exception_probe>")
cmake_language(DEFER CALL add_dependencies platform_uitest_application fc_exception_probe)

# A save under a file-size limit, as a program of its own: the limit's
# signal would end the test program itself.
add_executable(fc_filesize_probe ${CMAKE_CURRENT_LIST_DIR}/filesize_probe.cpp)
target_link_libraries(fc_filesize_probe PRIVATE platform_ui)
cmake_language(DEFER CALL target_compile_definitions platform_uitest_application PRIVATE
  FC_FILESIZE_PROBE="$<TARGET_FILE:fc_filesize_probe>")
cmake_language(DEFER CALL add_dependencies platform_uitest_application fc_filesize_probe)
