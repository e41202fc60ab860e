fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/Components.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PublishedProperties.cpp
)
