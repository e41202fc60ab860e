# The demo pictures (drawn by tools/gen_pictures.py) and documents, copied
# into the program folder's imgs/ and docs/ (a later edit copies again).
file(GLOB _fc_imgs CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/imgs/*.bmp ${CMAKE_CURRENT_LIST_DIR}/imgs/*.jpg)
foreach(_f ${_fc_imgs})
  get_filename_component(_n ${_f} NAME)
  configure_file(${_f} ${FC_PROGRAM_DIR}/imgs/${_n} COPYONLY)
endforeach()
file(GLOB _fc_docs CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/docs/*)
foreach(_f ${_fc_docs})
  get_filename_component(_n ${_f} NAME)
  configure_file(${_f} ${FC_PROGRAM_DIR}/docs/${_n} COPYONLY)
endforeach()
# Saved reports go to the program folder's pdf/.
file(MAKE_DIRECTORY ${FC_PROGRAM_DIR}/pdf)
