# The image window and the access-code dialog; their layouts are in forms/.
list(APPEND CMAKE_AUTOUIC_SEARCH_PATHS ${CMAKE_SOURCE_DIR}/forms)
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/ImagePrinter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VisImage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitPass.cpp
  ${CMAKE_SOURCE_DIR}/forms/TImgs.ui
  ${CMAKE_SOURCE_DIR}/forms/TPasswordDlg.ui
)
