fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/Catalogo.cpp
)
