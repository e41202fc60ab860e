# Report engine core: storage, page sizes, document model, drawing, template
# text, and the storage's preferences dialog.
fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/ARRepCommon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ARVFS.cpp
)
fc_sources(gui
  ${CMAKE_CURRENT_LIST_DIR}/ARUtils.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ARRep.cpp
)
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/ARSFSSetup.cpp
)
