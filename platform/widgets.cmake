# Widgets and application services shared by every window.
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/Application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RadioGroup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComboBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CheckListBox.cpp
)
