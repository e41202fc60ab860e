fc_fuzz(fuzz_ini ${CMAKE_CURRENT_LIST_DIR}/fuzz_ini.cpp ${CMAKE_CURRENT_LIST_DIR}/fuzz_ini_corpus LIBS platform_core)
