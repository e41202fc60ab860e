# Printing behind an interface: the Qt printer and dialogs, and a fake.
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/Printing.cpp
)
