# The grid control's clipboard (gui) and its widget: painting, selection by
# keys and mouse, in-place editing (ui).
fc_sources(gui
  ${CMAKE_CURRENT_LIST_DIR}/ProfGridClipboard.cpp
)
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/ProfGridWidget.cpp
)
