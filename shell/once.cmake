# One running instance per executable file name.
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/once.cpp
)
