#include "platform/video/video_clip.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/errors.h"

extern "C" {
#include <libavutil/display.h>
#include <libavutil/opt.h>
}

namespace tovrin {

namespace {

constexpr std::array<AVCodecID, 5> kVideoCodecs = {
    AV_CODEC_ID_H264, AV_CODEC_ID_HEVC, AV_CODEC_ID_VP8, AV_CODEC_ID_VP9, AV_CODEC_ID_AV1};
constexpr std::array<AVCodecID, 4> kAudioCodecs = {AV_CODEC_ID_AAC, AV_CODEC_ID_OPUS,
                                                   AV_CODEC_ID_VORBIS, AV_CODEC_ID_MP3};

template <size_t N>
bool Allowed(const std::array<AVCodecID, N>& list, AVCodecID id) {
  return std::find(list.begin(), list.end(), id) != list.end();
}

std::string AvError(int code) {
  std::array<char, AV_ERROR_MAX_STRING_SIZE> text{};
  Av().av_strerror(code, text.data(), text.size());
  return text.data();
}

// A decoder for stream's codec, opened; nullptr when the codec cannot be opened.
TCodecHandle OpenDecoder(const AVStream& stream, int threads) {
  const AVCodec* codec = Av().avcodec_find_decoder(stream.codecpar->codec_id);
  if (!codec) return nullptr;
  TCodecHandle context(Av().avcodec_alloc_context3(codec));
  if (!context) return nullptr;
  if (Av().avcodec_parameters_to_context(context.get(), stream.codecpar) < 0) return nullptr;
  // Frame threads keep as many frames in decoding as there are threads (the count is the
  // library's choice for 0: one per core and one more); slice threads share out one frame.
  context->thread_count = threads;
  context->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
  // A stream may change its picture size midway; no frame may grow past the limit.
  context->max_pixels = int64_t{TVideoClip::MaxVideoSide} * TVideoClip::MaxVideoSide / 2;
  context->pkt_timebase = stream.time_base;
  if (Av().avcodec_open2(context.get(), codec, nullptr) < 0) return nullptr;
  return context;
}

// Clockwise quarter turns of the stream's display matrix, in degrees.
int32_t RotationOf(const AVStream& stream) {
  size_t size = 0;
  const uint8_t* matrix = Av().av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
  if (!matrix || size < 9 * sizeof(int32_t)) return 0;
  std::array<int32_t, 9> values{};
  std::memcpy(values.data(), matrix, sizeof(values));
  const double angle = Av().av_display_rotation_get(values.data());  // counter-clockwise
  if (angle != angle) return 0;                                      // NaN: a degenerate matrix
  const long quarter = std::lround(-angle / 90.0);
  return static_cast<int32_t>(((quarter % 4) + 4) % 4 * 90);
}

// The frame time packets read ahead may give at most (a day).
constexpr int64_t kMaxReadAheadMs = int64_t{24} * 3600 * 1000;

int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, 0, INT32_MAX));
}

}  // namespace

// A byte range of a file, read by the demuxer through an I/O context of its own.
struct TVideoClip::TInput {
  struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  struct TIoFreer {
    void operator()(AVIOContext* io) const {
      if (io) Av().av_freep(&io->buffer);
      Av().avio_context_free(&io);
    }
  };
  static constexpr int kBufferSize = 64 * 1024;

  std::unique_ptr<std::FILE, TFileCloser> File;
  int64_t Start = 0;
  int64_t Length = 0;
  int64_t Position = 0;  // within the range
  std::unique_ptr<AVIOContext, TIoFreer> Io;

  static int Read(void* opaque, uint8_t* buffer, int size) {
    auto& in = *static_cast<TInput*>(opaque);
    const int64_t left = in.Length - in.Position;
    if (left <= 0 || size <= 0) return AVERROR_EOF;
    const auto want = static_cast<size_t>(std::min<int64_t>(left, size));
    if (fseeko(in.File.get(), in.Start + in.Position, SEEK_SET) != 0) return AVERROR(EIO);
    const size_t got = std::fread(buffer, 1, want, in.File.get());
    if (got == 0) return AVERROR_EOF;
    in.Position += static_cast<int64_t>(got);
    return static_cast<int>(got);
  }
  static int64_t Seek(void* opaque, int64_t offset, int whence) {
    auto& in = *static_cast<TInput*>(opaque);
    if ((whence & AVSEEK_SIZE) != 0) return in.Length;
    int64_t base = 0;
    switch (whence & ~AVSEEK_FORCE) {
      case SEEK_SET:
        base = 0;
        break;
      case SEEK_CUR:
        base = in.Position;
        break;
      case SEEK_END:
        base = in.Length;
        break;
      default:
        return AVERROR(EINVAL);
    }
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0 || target > in.Length) {
      return AVERROR(EINVAL);
    }
    in.Position = target;
    return target;
  }
};

TVideoClip::TVideoClip(const std::string& path, bool withAudio)
    : TVideoClip(path, 0, -1, withAudio) {}

TVideoClip::~TVideoClip() {
  // The demuxer goes before the bytes it reads.
  FFormat.reset();
}

TVideoClip::TVideoClip(const std::string& path, int64_t offset, int64_t length, bool withAudio)
    : FPath(path) {
  auto fail = [&](const std::string& why) {
    return Exception("Cannot play movie " + path + ": " + why);
  };
  // The library's own messages would go to the standard error of a screen saver or a tool;
  // every failure comes back here as an exception instead.
  Av().av_log_set_level(AV_LOG_QUIET);
  FInput = std::make_unique<TInput>();
  FInput->File.reset(std::fopen(path.c_str(), "rb"));
  if (!FInput->File) throw fail("the file cannot be opened");
  if (length < 0) {
    if (fseeko(FInput->File.get(), 0, SEEK_END) != 0) throw fail("the file cannot be read");
    length = ftello(FInput->File.get());
  }
  if (offset < 0 || length < 0) throw fail("the file cannot be read");
  FInput->Start = offset;
  FInput->Length = length;
  auto* buffer = static_cast<uint8_t*>(Av().av_malloc(TInput::kBufferSize));
  if (!buffer) throw fail("out of memory");
  FInput->Io.reset(Av().avio_alloc_context(buffer, TInput::kBufferSize, 0, FInput.get(),
                                           &TInput::Read, nullptr, &TInput::Seek));
  if (!FInput->Io) {
    Av().av_free(buffer);
    throw fail("out of memory");
  }

  // Recognised by content, by one of the accepted demuxers.
  FFormat.reset(Av().avformat_alloc_context());
  if (!FFormat) throw fail("out of memory");
  FFormat->pb = FInput->Io.get();
  FFormat->flags |= AVFMT_FLAG_CUSTOM_IO;
  AVDictionary* rawOptions = nullptr;
  Av().av_dict_set(&rawOptions, "format_whitelist", "mov,matroska", 0);
  AVFormatContext* format = FFormat.release();
  const int opened = Av().avformat_open_input(&format, nullptr, nullptr, &rawOptions);
  Av().av_dict_free(&rawOptions);
  if (opened < 0) throw fail(AvError(opened));  // format was freed
  FFormat.reset(format);
  if (Av().avformat_find_stream_info(FFormat.get(), nullptr) < 0) throw fail("no streams found");

  FVideoIndex = Av().av_find_best_stream(FFormat.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (FVideoIndex < 0) throw fail("no video");
  const AVStream& video = *FFormat->streams[FVideoIndex];
  const AVCodecParameters& vp = *video.codecpar;
  if (!Allowed(kVideoCodecs, vp.codec_id)) {
    throw fail(std::string("video codec ") + Av().avcodec_get_name(vp.codec_id) +
               " is not supported");
  }
  if (vp.width <= 0 || vp.height <= 0 || vp.width > MaxVideoSide || vp.height > MaxVideoSide) {
    throw fail("picture size " + std::to_string(vp.width) + "x" + std::to_string(vp.height) +
               " is not supported");
  }
  FVideo = OpenDecoder(video, 0);
  if (!FVideo) throw fail(std::string("no decoder for ") + Av().avcodec_get_name(vp.codec_id));

  const int audioIndex =
      Av().av_find_best_stream(FFormat.get(), AVMEDIA_TYPE_AUDIO, -1, FVideoIndex, nullptr, 0);
  if (audioIndex >= 0 && Allowed(kAudioCodecs, FFormat->streams[audioIndex]->codecpar->codec_id)) {
    FInfo.AudioCodec = Av().avcodec_get_name(FFormat->streams[audioIndex]->codecpar->codec_id);
    if (withAudio) {
      FAudio = OpenDecoder(*FFormat->streams[audioIndex], 1);
      if (FAudio) FAudioIndex = audioIndex;
    }
  }
  FPacket.reset(Av().av_packet_alloc());
  FAudioFrame.reset(Av().av_frame_alloc());
  FAudioOut.reset(Av().av_frame_alloc());
  FResampler.reset(Av().swr_alloc());
  if (!FPacket || !FAudioFrame || !FAudioOut || !FResampler) throw fail("out of memory");

  // What the clip holds.
  const std::string family = FFormat->iformat->name;
  if (family.find("matroska") != std::string::npos) {
    FInfo.Container = "matroska";
  } else {
    const AVDictionaryEntry* brand = Av().av_dict_get(FFormat->metadata, "major_brand", nullptr, 0);
    FInfo.Container = brand && std::string(brand->value).starts_with("qt") ? "mov" : "mp4";
  }
  FInfo.VideoCodec = Av().avcodec_get_name(vp.codec_id);
  FInfo.Rotation = RotationOf(video);
  int64_t width = vp.width;
  const int64_t height = vp.height;
  const AVRational sar =
      Av().av_guess_sample_aspect_ratio(FFormat.get(), FFormat->streams[FVideoIndex], nullptr);
  if (sar.num > 0 && sar.den > 0)
    width = std::clamp<int64_t>(Av().av_rescale(width, sar.num, sar.den), 1, MaxVideoSide * 4);
  const bool sideways = FInfo.Rotation == 90 || FInfo.Rotation == 270;
  FInfo.Width = static_cast<int32_t>(sideways ? height : width);
  FInfo.Height = static_cast<int32_t>(sideways ? width : height);

  if (video.duration > 0 && video.duration != AV_NOPTS_VALUE) {
    FInfo.DurationMs = Av().av_rescale_q(video.duration, video.time_base, AVRational{1, 1000});
  } else if (FFormat->duration > 0 && FFormat->duration != AV_NOPTS_VALUE) {
    FInfo.DurationMs = Av().av_rescale(FFormat->duration, 1000, AV_TIME_BASE);
  }
  FInfo.DurationMs = std::max<int64_t>(FInfo.DurationMs, 0);
  const AVRational rate = video.avg_frame_rate.num > 0 && video.avg_frame_rate.den > 0
                              ? video.avg_frame_rate
                              : video.r_frame_rate;
  if (rate.num > 0 && rate.den > 0 && rate.num <= 1000 * int64_t{rate.den}) {
    FRate = rate;
  }
  if (rate.num > 0 && rate.den > 0) {
    FFrameStepMs = std::clamp<int64_t>(Av().av_rescale(1000, rate.den, rate.num), 1, 1000);
  }
  if (video.nb_frames > 0) {
    FInfo.Frames = ClampToInt32(video.nb_frames);
  } else if (FInfo.DurationMs > 0 && rate.num > 0 && rate.den > 0) {
    FInfo.Frames =
        ClampToInt32(Av().av_rescale(FInfo.DurationMs, rate.num, int64_t{rate.den} * 1000));
  }
}

bool TVideoClip::NextFrame(AVFrame& frame) {
  if (FEnded) return false;
  Av().av_frame_unref(&frame);
  if (!Decode(frame)) {
    FEnded = true;
    return false;
  }
  int64_t ms = TimeMs(frame);
  // Times only move forward, and only as fast as the video is read: never further than
  // MaxFrameGapMs beyond the frame times of the packets read and not yet spent by earlier frames
  // (packets left out when skipping to a key frame take their time too).
  if (FLastMs >= 0) {
    if (ms > FLastMs + MaxFrameGapMs + FReadAheadMs) ms = FLastMs + FFrameStepMs;
    ms = std::max(ms, FLastMs);
    FReadAheadMs = std::max<int64_t>(0, FReadAheadMs - (ms - FLastMs));
  } else {
    ms = std::clamp<int64_t>(ms, 0, MaxFrameGapMs);
  }
  FLastMs = ms;
  FFrameMs = ms;
  return true;
}

int64_t TVideoClip::TimeMs(const AVFrame& frame) {
  const AVStream& video = *FFormat->streams[FVideoIndex];
  const int64_t pts = frame.best_effort_timestamp;
  if (pts == AV_NOPTS_VALUE) return FLastMs < 0 ? 0 : FLastMs + FFrameStepMs;
  const int64_t start = video.start_time == AV_NOPTS_VALUE ? 0 : video.start_time;
  int64_t offset = 0;
  if (__builtin_sub_overflow(pts, start, &offset)) return FLastMs < 0 ? 0 : FLastMs + FFrameStepMs;
  return Av().av_rescale_q(offset, video.time_base, AVRational{1, 1000});
}

bool TVideoClip::Decode(AVFrame& frame) {
  int packets = 0;
  int errors = 0;
  for (;;) {
    const int received = Av().avcodec_receive_frame(FVideo.get(), &frame);
    if (received == 0) return true;
    if (received == AVERROR_EOF) return false;
    if (received != AVERROR(EAGAIN)) {
      if (++errors >= MaxDecodeErrors) return false;
      continue;
    }
    if (FDraining || ++packets > MaxPacketsPerFrame) return false;
    const int read = Av().av_read_frame(FFormat.get(), FPacket.get());
    if (read < 0) {
      // The end of the file, or a part that cannot be read (a truncated file): what the decoder
      // holds still comes out.
      FDraining = true;
      Av().avcodec_send_packet(FVideo.get(), nullptr);
      continue;
    }
    if (FPacket->stream_index == FVideoIndex) {
      FReadAheadMs = std::min(FReadAheadMs + FFrameStepMs, kMaxReadAheadMs);
      if (FSkip == TSkip::skToKeyFrame) {
        // Packets up to the next key frame are not decoded at all; from the key frame on, only
        // the frames nothing refers to are left out.
        if ((FPacket->flags & AV_PKT_FLAG_KEY) == 0) {
          Av().av_packet_unref(FPacket.get());
          continue;
        }
        SetSkip(TSkip::skNonReference);
      }
      if (Av().avcodec_send_packet(FVideo.get(), FPacket.get()) < 0 &&
          ++errors >= MaxDecodeErrors) {
        Av().av_packet_unref(FPacket.get());
        return false;
      }
    } else if (FPacket->stream_index == FAudioIndex) {
      DecodeAudio(*FPacket);
    }
    Av().av_packet_unref(FPacket.get());
  }
}

void TVideoClip::DecodeAudio(const AVPacket& packet) {
  if (!FAudio) return;
  if (Av().avcodec_send_packet(FAudio.get(), &packet) < 0) return;
  while (Av().avcodec_receive_frame(FAudio.get(), FAudioFrame.get()) == 0) {
    // The resampler configures itself from each frame and is reconfigured when the stream's
    // format changes, so it never reads a frame as a layout it does not have.
    AVFrame& out = *FAudioOut;
    Av().av_frame_unref(&out);
    out.ch_layout = AV_CHANNEL_LAYOUT_STEREO;
    out.format = AV_SAMPLE_FMT_S16;
    out.sample_rate = AudioRate;
    const int64_t ms = AudioTimeMs(*FAudioFrame).value_or(FAudioNextMs);
    int converted = Av().swr_convert_frame(FResampler.get(), &out, FAudioFrame.get());
    if (converted == AVERROR_INPUT_CHANGED) {
      Av().swr_close(FResampler.get());
      Av().av_frame_unref(&out);
      out.ch_layout = AV_CHANNEL_LAYOUT_STEREO;
      out.format = AV_SAMPLE_FMT_S16;
      out.sample_rate = AudioRate;
      converted = Av().swr_convert_frame(FResampler.get(), &out, FAudioFrame.get());
    }
    Av().av_frame_unref(FAudioFrame.get());
    if (converted < 0) {
      // Sound this clip cannot give: it plays on silent.
      FAudio.reset();
      return;
    }
    FAudioNextMs = ms + int64_t{out.nb_samples} * 1000 / AudioRate;
    if (out.nb_samples > 0 && OnAudio) {
      OnAudio(reinterpret_cast<const int16_t*>(out.data[0]), static_cast<size_t>(out.nb_samples),
              ms);
    }
  }
}

int64_t TVideoClip::FrameIndexAt(int64_t ms) const {
  return Av().av_rescale_rnd(ms, FRate.num, int64_t{FRate.den} * 1000, AV_ROUND_NEAR_INF);
}

void TVideoClip::SetSkip(TSkip skip) {
  FSkip = skip;
  switch (skip) {
    case TSkip::skNone:
      FVideo->skip_frame = AVDISCARD_DEFAULT;
      break;
    case TSkip::skNonReference:
      FVideo->skip_frame = AVDISCARD_NONREF;
      break;
    case TSkip::skToKeyFrame:
      // Left out before they reach the decoder (Decode); what it holds already still comes.
      FVideo->skip_frame = AVDISCARD_NONREF;
      break;
  }
}

std::optional<int64_t> TVideoClip::AudioTimeMs(const AVFrame& frame) const {
  const int64_t pts = frame.best_effort_timestamp;
  if (pts == AV_NOPTS_VALUE || FAudioIndex < 0) return std::nullopt;
  const AVStream& audio = *FFormat->streams[FAudioIndex];
  const AVStream& video = *FFormat->streams[FVideoIndex];
  const int64_t start =
      video.start_time == AV_NOPTS_VALUE
          ? 0
          : Av().av_rescale_q(video.start_time, video.time_base, AVRational{1, 1000});
  int64_t ms = 0;
  // Times from a file are not trusted: one that does not fit is no time.
  if (__builtin_sub_overflow(Av().av_rescale_q(pts, audio.time_base, AVRational{1, 1000}), start,
                             &ms)) {
    return std::nullopt;
  }
  return ms;
}

TVideoInfo ProbeVideo(const std::string& path, int64_t offset, int64_t length) {
  return TVideoClip(path, offset, length, false).Info();
}

}  // namespace tovrin
