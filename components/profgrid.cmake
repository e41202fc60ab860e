fc_sources(gui
  ${CMAKE_CURRENT_LIST_DIR}/ProfGrid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProfGridCol.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProfGridCell.cpp
)
