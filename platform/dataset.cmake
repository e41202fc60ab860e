fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/Dataset.cpp
)
fc_link(core SQLite::SQLite3)
