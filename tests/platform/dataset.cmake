# The catalogue file opener under arbitrary bytes; the seeds run under CTest.
fc_fuzz(fuzz_dataset ${CMAKE_CURRENT_LIST_DIR}/fuzz_dataset.cpp ${CMAKE_CURRENT_LIST_DIR}/fuzz_dataset_corpus
  LIBS platform_core)
