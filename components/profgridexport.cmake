fc_sources(gui
  ${CMAKE_CURRENT_LIST_DIR}/ProfGridExport.cpp
)
