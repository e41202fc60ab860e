# The catalogue file opener under arbitrary bytes; the seeds run under CTest.
# Seeds: small SQLite files with valid cdsMacchine and cdsVersioni tables, a
# table short of columns, wrong values (text, blob, infinity), a cut and a
# bit-flipped copy of a valid file, a text file and an empty one.
fc_fuzz(fuzz_dataset ${CMAKE_CURRENT_LIST_DIR}/fuzz_dataset.cpp ${CMAKE_CURRENT_LIST_DIR}/fuzz_dataset_corpus
  LIBS platform_core)
