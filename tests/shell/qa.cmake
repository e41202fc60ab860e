# The calculation flows drive the main window through to the filled report.
cmake_language(DEFER CALL target_link_libraries shell_uitest_qa_flows PRIVATE reports_ui)
cmake_language(DEFER CALL target_link_libraries shell_uitest_sequenze PRIVATE reports_ui)
