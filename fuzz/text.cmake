# Fuzzers of the text inputs: INI files (CONTROL.INI, the language file, tovrin-pack's
# --settings file) and the Linux command line.
tovrin_add_fuzzer(fuzz_ini
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ini_fuzzer.cpp ${CMAKE_CURRENT_LIST_DIR}/seed_corpus.cpp
  LIBS tovrin_pack_lib tovrin_setup tovrin_core)

tovrin_add_fuzzer(fuzz_linux_command_line
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/linux_command_line_fuzzer.cpp
          ${CMAKE_CURRENT_LIST_DIR}/seed_corpus.cpp
  LIBS tovrin_app_linux tovrin_core)
