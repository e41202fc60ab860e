# Configures a small project that lays out the program folder's settings as
# the real build does, then configures it again after the user has saved
# defaults: the saved select.ini must still be there.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/src)
file(WRITE ${WORK_DIR}/src/CMakeLists.txt
  "cmake_minimum_required(VERSION 3.25)\n"
  "project(first_run NONE)\n"
  "set(FC_PROGRAM_DIR \"${WORK_DIR}/program\")\n"
  "include(\"${DATA_DIR}/settings.cmake\")\n")

function(configure)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${WORK_DIR}/src -B ${WORK_DIR}/build
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "configure failed:\n${out}")
  endif()
endfunction()

function(expect_same a b what)
  file(READ ${a} ca)
  file(READ ${b} cb)
  if(NOT ca STREQUAL cb)
    message(FATAL_ERROR "${what}: ${b} differs from ${a}")
  endif()
endfunction()

# First run: the shipped files are installed.
configure()
expect_same(${DATA_DIR}/select.ini ${WORK_DIR}/program/select.ini "shipped settings")
expect_same(${DATA_DIR}/English.lng ${WORK_DIR}/program/English.lng "shipped language file")

# The user saves defaults and a language; the next configure keeps them.
set(saved "[Language]\nmyLang=Italiano.lng\n[Default]\nFTABS=26,5\n")
file(WRITE ${WORK_DIR}/program/select.ini "${saved}")
file(WRITE ${WORK_DIR}/expected.ini "${saved}")
configure()
expect_same(${WORK_DIR}/expected.ini ${WORK_DIR}/program/select.ini "saved settings after a new configure")

# A program folder without settings gets the shipped ones again.
file(REMOVE ${WORK_DIR}/program/select.ini)
configure()
expect_same(${DATA_DIR}/select.ini ${WORK_DIR}/program/select.ini "settings of a folder that had none")
