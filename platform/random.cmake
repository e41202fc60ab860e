# The process-wide pseudo-random generator.
fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/Random.cpp
)
