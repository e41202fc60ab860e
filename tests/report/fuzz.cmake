# Fuzz harnesses of the template reader and the rich-text reader; their seed
# corpus runs under CTest.
fc_fuzz(report_fuzz_template ${CMAKE_CURRENT_LIST_DIR}/fuzz_template.cpp ${CMAKE_CURRENT_LIST_DIR}/corpus/template
  LIBS report_gui)
fc_fuzz(report_fuzz_rtf ${CMAKE_CURRENT_LIST_DIR}/fuzz_rtf.cpp ${CMAKE_CURRENT_LIST_DIR}/corpus/rtf
  LIBS report_gui)
set_tests_properties(report_fuzz_rtf_seeds PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan-fontconfig.supp")
