# DecodeJPEG on arbitrary bytes.
tovrin_add_fuzzer(fuzz_jpeg_decode
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/jpeg_decode_fuzzer.cpp ${PROJECT_SOURCE_DIR}/tests/support/jpeg_maker.cpp
  LIBS tovrin_gfx JPEG::JPEG)
target_include_directories(fuzz_jpeg_decode PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
