# The three selection reports, their inputs and the preview window.
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/ReportInputs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Reports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReportTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReportPanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitPreview.cpp
)
