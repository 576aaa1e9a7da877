# Movie files as the video player reads them; seeds made by the ffmpeg program (-seed_corpus=DIR).
if(TARGET tovrin_platform_video)
  find_program(TOVRIN_FFMPEG_PROGRAM ffmpeg REQUIRED)
  tovrin_add_fuzzer(fuzz_video_clip
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/video_clip_fuzzer.cpp ${CMAKE_CURRENT_LIST_DIR}/seed_corpus.cpp
    LIBS tovrin_platform_video)
  target_compile_definitions(fuzz_video_clip PRIVATE
                             TOVRIN_FFMPEG_PROGRAM="${TOVRIN_FFMPEG_PROGRAM}")
endif()
