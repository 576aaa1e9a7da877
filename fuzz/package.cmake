# Fuzzers of the package layer; seeds come from the writer (-seed_corpus=DIR).
set(_package_fuzz_common
  ${CMAKE_CURRENT_LIST_DIR}/package_seeds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/seed_corpus.cpp
  ${PROJECT_SOURCE_DIR}/tests/package/test_jpeg.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/jpeg_maker.cpp)

tovrin_add_fuzzer(fuzz_object_stream
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/package_object_stream.cpp ${_package_fuzz_common}
  LIBS tovrin_package JPEG::JPEG)
target_include_directories(fuzz_object_stream PRIVATE ${PROJECT_SOURCE_DIR}/tests/package
                           ${PROJECT_SOURCE_DIR}/tests/support)

tovrin_add_fuzzer(fuzz_package
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/package_package.cpp ${_package_fuzz_common}
  LIBS tovrin_package JPEG::JPEG)
target_include_directories(fuzz_package PRIVATE ${PROJECT_SOURCE_DIR}/tests/package
                           ${PROJECT_SOURCE_DIR}/tests/support)
