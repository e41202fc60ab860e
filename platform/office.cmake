# Office automation: the object model, the recording fake and the file
# backends (.xlsx through libxlsxwriter, .docx through libzip); opening a
# file with the desktop's default program.
fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/Office.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfficeExcel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfficeWord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfficeXlsx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfficeDocx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfficeLibs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShellOpen.cpp
)
fc_sources(gui
  ${CMAKE_CURRENT_LIST_DIR}/QtShellOpen.cpp
)
# The workbook and zip libraries are opened when first used (OfficeLibs):
# the build needs their headers and the names they are installed under.
function(fc_soname var pkg pattern)
  set(_libs ${${pkg}_LINK_LIBRARIES})
  list(FILTER _libs INCLUDE REGEX "${pattern}")
  list(GET _libs 0 _lib)
  execute_process(COMMAND ${CMAKE_READELF} -d ${_lib} OUTPUT_VARIABLE _dyn RESULT_VARIABLE _rc)
  string(REGEX MATCH "Library soname: \\[([^]]+)\\]" _m "${_dyn}")
  if(NOT _rc EQUAL 0 OR NOT CMAKE_MATCH_1)
    message(FATAL_ERROR "cannot read the soname of ${_lib}")
  endif()
  set(${var} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()
fc_soname(_fc_xlsx_soname XLSXWRITER "xlsxwriter")
fc_soname(_fc_zip_soname LIBZIP "libzip")
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/OfficeLibs.cpp APPEND PROPERTY COMPILE_DEFINITIONS
  FC_XLSXWRITER_SONAME="${_fc_xlsx_soname}" FC_LIBZIP_SONAME="${_fc_zip_soname}")
add_library(fc_office_libraries INTERFACE)
target_include_directories(fc_office_libraries INTERFACE ${XLSXWRITER_INCLUDE_DIRS} ${LIBZIP_INCLUDE_DIRS})
target_compile_options(fc_office_libraries INTERFACE ${XLSXWRITER_CFLAGS_OTHER} ${LIBZIP_CFLAGS_OTHER})
target_link_libraries(fc_office_libraries INTERFACE ${CMAKE_DL_LIBS})
fc_link(core fc_office_libraries)
