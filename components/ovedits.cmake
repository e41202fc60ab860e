fc_sources(core
  ${CMAKE_CURRENT_LIST_DIR}/OvNumFormat.cpp
)
fc_sources(ui
  ${CMAKE_CURRENT_LIST_DIR}/OvNumEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OvSuperSpin.cpp
)
