# The catalogue test also loads the demo catalogue the build lays out in the
# program folder. Fragments run before the test targets exist, hence DEFER.
add_compile_definitions(FC_DEMO_CATALOGUE_DIR="${FC_PROGRAM_DIR}/")
cmake_language(DEFER CALL add_dependencies engine_test_catalogo fc_catalogue)
cmake_language(DEFER CALL add_dependencies engine_test_golden_ratings fc_catalogue)
