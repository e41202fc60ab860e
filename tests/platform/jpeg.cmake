# The JPEG decoder under arbitrary bytes; the seeds run under CTest. Seeds:
# two shipped product pictures, one cut short, one whose header claims
# 16384 x 16384 pixels, an empty file and a JPEG start marker alone.
fc_fuzz(fuzz_jpeg ${CMAKE_CURRENT_LIST_DIR}/fuzz_jpeg.cpp ${CMAKE_CURRENT_LIST_DIR}/fuzz_jpeg_corpus
  LIBS platform_gui)
