// TAvLibrary: the functions of FFmpeg's libraries the video player calls, looked up when the first
// movie file is opened.
//
// On Linux the libraries are loaded at run time rather than with the program (av_library.cpp):
// with their codecs they bring some eighty shared libraries whose loading and relocation every
// show would otherwise pay before its first picture, movies or not. The libraries are the ones
// the build compiled against, by their major versions. The Windows engine links its own build of
// them statically and the table holds the linked functions (av_library_linked.cpp). Either way
// the declarations come from FFmpeg's headers, so each pointer has the type the header gives (a
// changed signature fails to compile).
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace tovrin {

// Every function the video code calls, by its name in the libraries.
#define TOVRIN_AV_FUNCTIONS(X)     \
  X(av_dict_free)                  \
  X(av_dict_get)                   \
  X(av_dict_set)                   \
  X(av_display_rotation_get)       \
  X(av_find_best_stream)           \
  X(av_frame_alloc)                \
  X(av_frame_free)                 \
  X(av_frame_move_ref)             \
  X(av_frame_unref)                \
  X(av_free)                       \
  X(av_freep)                      \
  X(av_guess_sample_aspect_ratio)  \
  X(av_log_set_level)              \
  X(av_malloc)                     \
  X(av_packet_alloc)               \
  X(av_packet_free)                \
  X(av_packet_unref)               \
  X(av_read_frame)                 \
  X(av_rescale)                    \
  X(av_rescale_q)                  \
  X(av_rescale_rnd)                \
  X(av_stream_get_side_data)       \
  X(av_strerror)                   \
  X(avcodec_alloc_context3)        \
  X(avcodec_find_decoder)          \
  X(avcodec_free_context)          \
  X(avcodec_get_name)              \
  X(avcodec_open2)                 \
  X(avcodec_parameters_to_context) \
  X(avcodec_receive_frame)         \
  X(avcodec_send_packet)           \
  X(avformat_alloc_context)        \
  X(avformat_close_input)          \
  X(avformat_find_stream_info)     \
  X(avformat_open_input)           \
  X(avio_alloc_context)            \
  X(avio_context_free)             \
  X(swr_alloc)                     \
  X(swr_close)                     \
  X(swr_convert_frame)             \
  X(swr_free)                      \
  X(sws_freeContext)               \
  X(sws_getCachedContext)          \
  X(sws_getCoefficients)           \
  X(sws_isSupportedInput)          \
  X(sws_scale)                     \
  X(sws_setColorspaceDetails)

struct TAvLibrary {
#define TOVRIN_AV_POINTER(name) decltype(&::name) name = nullptr;
  TOVRIN_AV_FUNCTIONS(TOVRIN_AV_POINTER)
#undef TOVRIN_AV_POINTER
};

// The libraries' functions, loaded on the first call (the libraries then stay for the process's
// life, as the system keeps them). Raises Exception naming what is missing when a library or a
// function cannot be found; the next call tries again. Thread-safe. (Linked statically: never
// raises.)
const TAvLibrary& Av();

}  // namespace tovrin
