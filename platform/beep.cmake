fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/Beep.cpp
)
