# Fuzz harnesses of the language files and of the numeric edit's text; the
# seeds run under CTest.
# Language seeds: the shipped English file, a file in a code page named by
# [Charset], Items lists shorter and longer than the window's, an empty file.
fc_fuzz(fuzz_lang ${CMAKE_CURRENT_LIST_DIR}/fuzz_lang.cpp ${CMAKE_CURRENT_LIST_DIR}/fuzz_lang_corpus
  LIBS components_ui)
# Numeric edit seeds: key sequences in each form (see the harness for the
# byte code), long pastes, texts near the range of the value type.
fc_fuzz(fuzz_numtext ${CMAKE_CURRENT_LIST_DIR}/fuzz_numtext.cpp ${CMAKE_CURRENT_LIST_DIR}/fuzz_numtext_corpus
  LIBS components_ui)
foreach(_t fuzz_lang_seeds fuzz_numtext_seeds)
  set_tests_properties(${_t} PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/report/lsan-fontconfig.supp")
endforeach()
