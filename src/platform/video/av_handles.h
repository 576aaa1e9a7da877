// Owning handles for the FFmpeg objects the video player uses: each frees its object with the
// library's own function, so no path (an exception included) leaks one.
#pragma once

#include <memory>

#include "platform/video/av_library.h"

namespace tovrin {

struct TFormatCloser {
  void operator()(AVFormatContext* p) const { Av().avformat_close_input(&p); }
};
struct TCodecCloser {
  void operator()(AVCodecContext* p) const { Av().avcodec_free_context(&p); }
};
struct TFrameFreer {
  void operator()(AVFrame* p) const { Av().av_frame_free(&p); }
};
struct TPacketFreer {
  void operator()(AVPacket* p) const { Av().av_packet_free(&p); }
};
struct TScalerFreer {
  void operator()(SwsContext* p) const { Av().sws_freeContext(p); }
};
struct TResamplerFreer {
  void operator()(SwrContext* p) const { Av().swr_free(&p); }
};

using TFormatHandle = std::unique_ptr<AVFormatContext, TFormatCloser>;
using TCodecHandle = std::unique_ptr<AVCodecContext, TCodecCloser>;
using TFrameHandle = std::unique_ptr<AVFrame, TFrameFreer>;
using TPacketHandle = std::unique_ptr<AVPacket, TPacketFreer>;
using TScalerHandle = std::unique_ptr<SwsContext, TScalerFreer>;
using TResamplerHandle = std::unique_ptr<SwrContext, TResamplerFreer>;

}  // namespace tovrin
