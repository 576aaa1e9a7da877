# The media extraction plan over whole program files; seeds from the writer (-seed_corpus=DIR).
tovrin_add_fuzzer(fuzz_media_plan
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/media_plan_fuzzer.cpp ${CMAKE_CURRENT_LIST_DIR}/package_seeds.cpp
          ${CMAKE_CURRENT_LIST_DIR}/seed_corpus.cpp
          ${PROJECT_SOURCE_DIR}/tests/package/test_jpeg.cpp
          ${PROJECT_SOURCE_DIR}/tests/support/jpeg_maker.cpp
  LIBS tovrin_package JPEG::JPEG)
target_include_directories(fuzz_media_plan PRIVATE ${PROJECT_SOURCE_DIR}/tests/package
                           ${PROJECT_SOURCE_DIR}/tests/support)
