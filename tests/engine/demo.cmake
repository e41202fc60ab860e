# The demo-catalogue ratings test reads the catalogue the build lays out.
cmake_language(DEFER CALL add_dependencies engine_test_review_demo fc_catalogue)
