fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/TextEncoding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniFile.cpp
)
