# Page validation, the calculation run with its result rows, and the
# product pictures and documents of the main window.
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/Validazione.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Calcolo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Risultati.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Immagini.cpp
)
