# The main window and its layout (forms/TDodedaVO.ui).
list(APPEND CMAKE_AUTOUIC_SEARCH_PATHS ${CMAKE_SOURCE_DIR}/forms)
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/ClientData.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Impostazioni.cpp
  ${CMAKE_SOURCE_DIR}/forms/TDodedaVO.ui
)
