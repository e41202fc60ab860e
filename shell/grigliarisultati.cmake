# The result grid's layout and the handlers that only code runs.
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/GrigliaRisultati.cpp
)
