# The numeric edit tests click with QTest; the test programs are made after
# the fragments, so the link is added at the end of this folder.
find_package(Qt6 REQUIRED COMPONENTS Test)
cmake_language(DEFER CALL target_link_libraries components_uitest_ovnumedit PRIVATE Qt6::Test)
