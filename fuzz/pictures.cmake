# Fuzzers of the picture readers: the preview's reduced JPEG decode and tovrin-pack's import
# (JPEG, EXIF, lossless turn, re-encoding, PNG, HEIF, type sniffing). Seeds come from the test
# pictures' writers (tests/support, tests/tools).
set(_picture_fuzz_common
  ${CMAKE_CURRENT_LIST_DIR}/seed_corpus.cpp
  ${PROJECT_SOURCE_DIR}/tests/tools/picture_samples.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/jpeg_maker.cpp)

tovrin_add_fuzzer(fuzz_jpeg_import
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/jpeg_import_fuzzer.cpp ${_picture_fuzz_common}
  LIBS tovrin_pack_import JPEG::JPEG)

tovrin_add_fuzzer(fuzz_png
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/png_fuzzer.cpp ${_picture_fuzz_common}
  LIBS tovrin_pack_import JPEG::JPEG)

if(TARGET PkgConfig::HEIF)
  tovrin_add_fuzzer(fuzz_heif
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/heif_fuzzer.cpp ${_picture_fuzz_common}
            ${PROJECT_SOURCE_DIR}/tests/tools/heic_maker.cpp
    LIBS tovrin_pack_import JPEG::JPEG PkgConfig::HEIF)
endif()

foreach(t fuzz_jpeg_import fuzz_png fuzz_heif)
  if(TARGET ${t})
    target_include_directories(${t} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support
                               ${PROJECT_SOURCE_DIR}/tests/tools)
  endif()
endforeach()
