# The program itself, started as separate processes.
cmake_language(DEFER CALL target_compile_definitions shell_test_program PRIVATE
  FC_PROGRAM_EXE="$<TARGET_FILE:fancoil-select>")
cmake_language(DEFER CALL add_dependencies shell_test_program fancoil-select)
