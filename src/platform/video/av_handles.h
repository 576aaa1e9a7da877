// Owning handles for the FFmpeg objects the video player uses: each frees its object with the
// library's own function, so no path (an exception included) leaks one.
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace tovrin {

struct TFormatCloser {
  void operator()(AVFormatContext* p) const { avformat_close_input(&p); }
};
struct TCodecCloser {
  void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
};
struct TFrameFreer {
  void operator()(AVFrame* p) const { av_frame_free(&p); }
};
struct TPacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct TScalerFreer {
  void operator()(SwsContext* p) const { sws_freeContext(p); }
};
struct TResamplerFreer {
  void operator()(SwrContext* p) const { swr_free(&p); }
};

using TFormatHandle = std::unique_ptr<AVFormatContext, TFormatCloser>;
using TCodecHandle = std::unique_ptr<AVCodecContext, TCodecCloser>;
using TFrameHandle = std::unique_ptr<AVFrame, TFrameFreer>;
using TPacketHandle = std::unique_ptr<AVPacket, TPacketFreer>;
using TScalerHandle = std::unique_ptr<SwsContext, TScalerFreer>;
using TResamplerHandle = std::unique_ptr<SwrContext, TResamplerFreer>;

}  // namespace tovrin
