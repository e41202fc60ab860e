# The main window's controls as the inputs of the selection reports.
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/ReportMainWindow.cpp
)
