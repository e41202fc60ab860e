# Report views: the grid view and its filling interface, page building,
# the page store and printing, the preview, the in-place editor, the focus
# frame, the progress dialog and the engine's texts.
fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/ARResStrings.cpp
)
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/ARGridRep.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ARGridRepPages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ARUserRep.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ARPages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ARPrinter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ARPreviewForm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ARPrintProgress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ARInplaceEditor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ARFrame.cpp
  # moc needs the headers of the QObject classes.
  ${CMAKE_CURRENT_LIST_DIR}/ARGridRep.h
  ${CMAKE_CURRENT_LIST_DIR}/ARUserRep.h
  ${CMAKE_CURRENT_LIST_DIR}/ARPrinter.h
  ${CMAKE_CURRENT_LIST_DIR}/ARPreviewForm.h
  ${CMAKE_CURRENT_LIST_DIR}/ARPrintProgress.h
  ${CMAKE_CURRENT_LIST_DIR}/ARInplaceEditor.h
  ${CMAKE_CURRENT_LIST_DIR}/ARFrame.h
)
