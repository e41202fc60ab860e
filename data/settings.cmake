# The settings file and the language files, copied into the program folder
# (a later edit of the source copies again).
foreach(name select.ini English.lng)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${name} ${FC_PROGRAM_DIR}/${name} COPYONLY)
endforeach()
