fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/Calcoli.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Psicrometria.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Selezione.cpp
)
