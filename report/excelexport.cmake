# Report exports: the progress protocol of every exporter and the export to
# a spreadsheet workbook.
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/ARCustomExport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ARExcelExport.cpp
  # moc needs the headers of the QObject classes.
  ${CMAKE_CURRENT_LIST_DIR}/ARCustomExport.h
  ${CMAKE_CURRENT_LIST_DIR}/ARExcelExport.h
)
