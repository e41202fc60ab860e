# Office automation: the object model, the recording fake and the file
# backends (.xlsx through libxlsxwriter, .docx through libzip); opening a
# file with the desktop's default program.
fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/Office.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfficeExcel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfficeWord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfficeXlsx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfficeDocx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShellOpen.cpp
)
fc_sources(gui
  ${CMAKE_CURRENT_LIST_DIR}/QtShellOpen.cpp
)
fc_link(core PkgConfig::XLSXWRITER PkgConfig::LIBZIP)
