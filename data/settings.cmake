# The settings file and the language files of the program folder.
# select.ini belongs to the user once the program has run (Save Defaults,
# Language Select write it): the shipped one goes only into a folder that
# has none, and a new configure never replaces it. The language files are
# the program's own and follow the source (a later edit copies again).
if(NOT EXISTS ${FC_PROGRAM_DIR}/select.ini)
  file(COPY ${CMAKE_CURRENT_LIST_DIR}/select.ini DESTINATION ${FC_PROGRAM_DIR})
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/English.lng ${FC_PROGRAM_DIR}/English.lng COPYONLY)
