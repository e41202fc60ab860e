# The report as a PDF file.
fc_sources(gui
  ${CMAKE_CURRENT_LIST_DIR}/BatchPdf.cpp
)
