fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/Lang.cpp
)
