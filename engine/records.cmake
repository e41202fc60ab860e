fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/Records.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Correzioni.cpp
)
