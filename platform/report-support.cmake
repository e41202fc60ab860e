# Report engine support: file-type registry service, pictures, rich text.
fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/FileAssociations.cpp
)
fc_sources(gui
  ${CMAKE_CURRENT_LIST_DIR}/JpegImage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RtfReader.cpp
)
fc_link(gui JPEG::JPEG)
