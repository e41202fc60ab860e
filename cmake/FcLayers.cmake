# Layered libraries, one folder at a time.
#
# A folder's CMakeLists.txt includes the *.cmake fragments beside it; each
# fragment names its sources with fc_sources(core|gui|ui files...) and any
# extra link dependencies with fc_link(core|gui|ui targets...). Then
# fc_layers(<folder> DEPENDS <other folders>) makes <folder>_core,
# <folder>_gui and <folder>_ui, always all three (an empty layer is an
# interface library), linked core <- gui <- ui and to the same layer of the
# folders it depends on.

# Each source's header of the same name is listed too, so that AUTOMOC
# always knows it (an incremental build otherwise missed headers that a
# merge brought in).
macro(fc_sources layer)
  foreach(_fc_src ${ARGN})
    list(APPEND FC_SRC_${layer} ${_fc_src})
    get_filename_component(_fc_ext ${_fc_src} LAST_EXT)
    if(_fc_ext STREQUAL ".cpp")
      string(REGEX REPLACE "\\.cpp$" ".h" _fc_hdr ${_fc_src})
      if(EXISTS ${_fc_hdr})
        list(APPEND FC_SRC_${layer} ${_fc_hdr})
      endif()
    endif()
  endforeach()
endmacro()

macro(fc_link layer)
  list(APPEND FC_LINK_${layer} ${ARGN})
endmacro()

macro(fc_include_fragments)
  file(GLOB _fc_frags CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cmake)
  list(SORT _fc_frags)
  foreach(_f ${_fc_frags})
    include(${_f})
  endforeach()
endmacro()

# The libFuzzer build (clang): the libraries carry coverage instrumentation
# too, so that the fuzzer sees the code under test and not only the harness.
option(FC_LIBFUZZER "Build the fuzz harnesses with libFuzzer (clang)" OFF)

function(fc_layers name)
  cmake_parse_arguments(FC "" "" "DEPENDS" ${ARGN})
  set(prev "")
  foreach(layer core gui ui)
    set(tgt ${name}_${layer})
    if(FC_SRC_${layer})
      add_library(${tgt} STATIC ${FC_SRC_${layer}})
      if(FC_LIBFUZZER)
        target_compile_options(${tgt} PRIVATE -fsanitize=fuzzer-no-link)
      endif()
      # moc runs again whenever the list of sources changes: an old build
      # folder otherwise keeps its moc output and misses a header that a
      # merge brought in.
      set(_fc_list ${CMAKE_CURRENT_BINARY_DIR}/${tgt}_sources.txt)
      set(_fc_old "")
      if(EXISTS ${_fc_list})
        file(READ ${_fc_list} _fc_old)
      endif()
      if(NOT _fc_old STREQUAL "${FC_SRC_${layer}}")
        file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${tgt}_autogen/timestamp)
        file(WRITE ${_fc_list} "${FC_SRC_${layer}}")
      endif()
      target_include_directories(${tgt} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR})
      set(kind PUBLIC)
    else()
      add_library(${tgt} INTERFACE)
      target_include_directories(${tgt} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR})
      set(kind INTERFACE)
    endif()
    if(layer STREQUAL "core")
      target_link_libraries(${tgt} ${kind} Qt6::Core)
    elseif(layer STREQUAL "gui")
      target_link_libraries(${tgt} ${kind} Qt6::Gui)
    else()
      target_link_libraries(${tgt} ${kind} Qt6::Widgets Qt6::PrintSupport)
    endif()
    if(prev)
      target_link_libraries(${tgt} ${kind} ${prev})
    endif()
    foreach(dep ${FC_DEPENDS})
      target_link_libraries(${tgt} ${kind} ${dep}_${layer})
    endforeach()
    if(FC_LINK_${layer})
      target_link_libraries(${tgt} ${kind} ${FC_LINK_${layer}})
    endif()
    set(prev ${tgt})
  endforeach()
endfunction()

# Tests: every test_*.cpp, guitest_*.cpp and uitest_*.cpp in the calling
# folder becomes one GoogleTest program linked to LIBS. test_* run under a
# QCoreApplication, guitest_* under an offscreen QGuiApplication, uitest_*
# under an offscreen QApplication (see tests/support/TestMain.cpp).
function(fc_tests)
  cmake_parse_arguments(FC "" "" "LIBS" ${ARGN})
  file(GLOB _core CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp)
  file(GLOB _gui CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/guitest_*.cpp)
  file(GLOB _ui CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/uitest_*.cpp)
  foreach(kind core gui ui)
    if(kind STREQUAL "core")
      set(files ${_core})
    elseif(kind STREQUAL "gui")
      set(files ${_gui})
    else()
      set(files ${_ui})
    endif()
    foreach(f ${files})
      get_filename_component(base ${f} NAME_WE)
      get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
      set(tgt ${folder}_${base})
      add_executable(${tgt} ${f})
      target_link_libraries(${tgt} PRIVATE ${FC_LIBS} fc_testmain_${kind} GTest::gtest GTest::gmock)
      target_compile_definitions(${tgt} PRIVATE FC_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
      gtest_discover_tests(${tgt} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endforeach()
  endforeach()
endfunction()

# A fuzz harness (a file defining LLVMFuzzerTestOneInput) whose seed corpus
# runs under CTest; with clang and -DFC_LIBFUZZER=ON the same file fuzzes.
function(fc_fuzz name source corpus)
  cmake_parse_arguments(FC "" "" "LIBS" ${ARGN})
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${FC_LIBS})
  if(FC_LIBFUZZER)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_link_libraries(${name} PRIVATE fc_fuzz_driver)
  endif()
  add_test(NAME ${name}_seeds COMMAND ${name} ${corpus})
  set_tests_properties(${name}_seeds PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# Benchmarks: bench_*.cpp in the calling folder, each a Google Benchmark
# program, collected under the target fc_benchmarks.
function(fc_benchmarks)
  cmake_parse_arguments(FC "" "" "LIBS" ${ARGN})
  file(GLOB _b CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/bench_*.cpp)
  if(NOT TARGET fc_benchmarks)
    add_custom_target(fc_benchmarks)
  endif()
  foreach(f ${_b})
    get_filename_component(base ${f} NAME_WE)
    add_executable(${base} ${f})
    target_link_libraries(${base} PRIVATE ${FC_LIBS} benchmark::benchmark)
    target_compile_definitions(${base} PRIVATE FC_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    add_dependencies(fc_benchmarks ${base})
  endforeach()
endfunction()
