# The catalogue loader and the fan curve under arbitrary catalogue content;
# the seeds run under CTest. Seeds: a three-speed model with two versions,
# a one-speed model, two families, a number field without a value, an
# unknown unit code, a fan curve at the ends of the integer range, records
# short of fields.
fc_fuzz(fuzz_catalogo ${CMAKE_CURRENT_LIST_DIR}/fuzz_catalogo.cpp ${CMAKE_CURRENT_LIST_DIR}/fuzz_catalogo_corpus
  LIBS engine_core SQLite::SQLite3)
