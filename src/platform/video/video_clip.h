// TVideoClip: one movie file read through FFmpeg's libraries, its video frames decoded one after
// another in presentation order, and its sound (when asked for) resampled on the way.
//
// Only what a show plays is accepted: MP4/MOV and Matroska/WebM containers, recognised by their
// content, holding H.264, H.265, VP8, VP9 or AV1 video, with AAC, Opus, Vorbis or MP3 sound. The
// demuxer reads the file's bytes through this class alone: it opens nothing else (no network, no
// references to other files).
//
// A movie file comes from a package somebody sent, so nothing in it is trusted: the picture size
// is limited to MaxVideoSide; a frame's time may move forward by at most MaxFrameGapMs from the
// frame before, beyond the frame times of the video packets read and not yet taken by frames (so a
// clip whose times jump to hours later still ends); reading stops after MaxPacketsPerFrame packets
// without a picture, or MaxDecodeErrors failures in a row, and the clip then counts as ended.
//
// Errors: the constructor raises Exception, naming the file, when the file cannot be opened or
// holds no video it can decode. One thread at a time; the decoder runs threads of its own inside.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/video/av_handles.h"

namespace tovrin {

// What a movie file holds, for the player and for listings.
struct TVideoInfo {
  std::string Container;   // "mp4", "mov", "webm", "matroska"
  std::string VideoCodec;  // "h264", "hevc", "vp9", ...
  std::string AudioCodec;  // empty without sound
  int32_t Width = 0;       // as displayed (sample aspect and rotation applied)
  int32_t Height = 0;
  int64_t DurationMs = 0;  // 0 when unknown
  int32_t Frames = 0;      // the stream's frame count, or an estimate from duration and rate
  int32_t Rotation = 0;    // clockwise degrees the picture turns when shown: 0, 90, 180, 270
};

class TVideoClip {
 public:
  static constexpr int32_t MaxVideoSide = 8192;
  static constexpr int64_t MaxFrameGapMs = 5000;
  static constexpr int MaxPacketsPerFrame = 2000;
  static constexpr int MaxDecodeErrors = 30;
  // The sound handed to OnAudio: interleaved signed 16-bit samples at this rate, two channels.
  static constexpr int AudioRate = 48000;
  static constexpr int AudioChannels = 2;

  // Opens path. With withAudio, the sound stream (if any) is decoded too and goes to OnAudio.
  TVideoClip(const std::string& path, bool withAudio);
  // Opens the length bytes at offset of path as the movie file (a movie inside a package).
  TVideoClip(const std::string& path, int64_t offset, int64_t length, bool withAudio);
  ~TVideoClip();
  TVideoClip(const TVideoClip&) = delete;
  TVideoClip& operator=(const TVideoClip&) = delete;

  const TVideoInfo& Info() const { return FInfo; }

  // Decodes the next video frame into frame (replacing what it held) and returns true; false at
  // the end of the clip. FrameMs() is then that frame's time from the start of the clip.
  bool NextFrame(AVFrame& frame);
  int64_t FrameMs() const { return FFrameMs; }
  // The number of the frame at ms by the stream's frame rate (30 a second when it gives none).
  int64_t FrameIndexAt(int64_t ms) const;
  // The time between frames by the stream's rate, in milliseconds (1 to 1000).
  int64_t FrameStepMs() const { return FFrameStepMs; }

  // Which frames the decoder leaves out (true dropping: they are never decoded), for a player
  // that has fallen behind the clock: those no other frame refers to, or, when far behind, every
  // frame up to the next key frame (which a picture can start from again). Skipping to the key
  // frame lasts until its packet is read (frames the decoder's threads hold still come first);
  // from there on only the frames nothing refers to are left out, until told otherwise.
  enum class TSkip : uint8_t { skNone, skNonReference, skToKeyFrame };
  void SetSkip(TSkip skip);
  TSkip Skip() const { return FSkip; }

  // Receives the sound decoded while frames are read: frames sample frames of AudioChannels
  // interleaved samples, the first at ms on the clip's clock (the video's time 0 is 0).
  std::function<void(const int16_t* samples, size_t frames, int64_t ms)> OnAudio;

 private:
  // Sends packets to the decoders until the video decoder has a frame; false at the end.
  bool Decode(AVFrame& frame);
  void DecodeAudio(const AVPacket& packet);
  int64_t TimeMs(const AVFrame& frame);
  // The clip's time of an audio frame's first sample.
  std::optional<int64_t> AudioTimeMs(const AVFrame& frame) const;

  struct TInput;

  std::string FPath;
  std::unique_ptr<TInput> FInput;  // the bytes the demuxer reads; outlives FFormat
  TFormatHandle FFormat;
  TCodecHandle FVideo;
  TCodecHandle FAudio;
  TResamplerHandle FResampler;
  TPacketHandle FPacket;
  TFrameHandle FAudioFrame;
  TFrameHandle FAudioOut;
  int FVideoIndex = -1;
  int FAudioIndex = -1;
  TVideoInfo FInfo;
  bool FDraining = false;
  bool FEnded = false;
  int64_t FFrameMs = 0;
  int64_t FLastMs = -1;
  int64_t FFrameStepMs = 33;
  int64_t FAudioNextMs = 0;  // where the sound decoded so far ends
  int64_t FReadAheadMs = 0;  // frame times of the video packets read, less those frames took
  TSkip FSkip = TSkip::skNone;
  AVRational FRate{30, 1};
};

// The container and streams of the length bytes at offset of path, without decoding a frame;
// raises as TVideoClip does.
TVideoInfo ProbeVideo(const std::string& path, int64_t offset, int64_t length);

}  // namespace tovrin
