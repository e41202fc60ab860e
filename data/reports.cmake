# The three selection-report templates, copied into the program folder.
foreach(name Rep1Vel.AR Rep9Col.AR RepPann.AR)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${name} ${FC_PROGRAM_DIR}/${name} COPYONLY)
endforeach()
