#include "platform/headless/headless_media_player.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "core/errors.h"
#include "core/paths.h"
#include "platform/headless/headless_platform.h"

namespace tovrin {

namespace {

std::string LowerExtension(const std::string& path) {
  const std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

uint32_t ReadLE32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The playing time of a RIFF WAVE file from its header, in ms; 0 when it cannot be told.
uint32_t WaveLengthMs(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char riff[12];
  if (!in.read(reinterpret_cast<char*>(riff), 12)) return 0;
  if (std::string(reinterpret_cast<char*>(riff), 4) != "RIFF" ||
      std::string(reinterpret_cast<char*>(riff) + 8, 4) != "WAVE") {
    return 0;
  }
  uint32_t byteRate = 0;
  for (int chunks = 0; chunks < 64; ++chunks) {
    unsigned char head[8];
    if (!in.read(reinterpret_cast<char*>(head), 8)) return 0;
    const std::string id(reinterpret_cast<char*>(head), 4);
    const uint32_t size = ReadLE32(head + 4);
    if (id == "fmt " && size >= 16) {
      unsigned char fmt[16];
      if (!in.read(reinterpret_cast<char*>(fmt), 16)) return 0;
      byteRate = ReadLE32(fmt + 8);
      in.seekg(size - 16 + (size & 1), std::ios::cur);
    } else if (id == "data") {
      if (byteRate == 0) return 0;
      return static_cast<uint32_t>(
          std::min<uint64_t>(uint64_t{size} * 1000 / byteRate, 0x7FFFFFFF));
    } else {
      in.seekg(size + (size & 1), std::ios::cur);
    }
  }
  return 0;
}

}  // namespace

THeadlessMediaPlayer::~THeadlessMediaPlayer() {
  *FAlive = false;
  KillFinishTimer();
  if (!FOpenFile.empty()) FPlatform.Record("Sound.Close");
  FPlatform.Forget(*this);
}

void THeadlessMediaPlayer::DoOpen() {
  KillFinishTimer();
  FPlaying = false;
  FPendingNotify = false;  // closing the device drops what it owed
  FOpenFile.clear();
  const std::string& path = FileName();
  std::ifstream probe(path, std::ios::binary);
  const bool ok = probe.good() && FPlatform.Script().SoundKinds.count(LowerExtension(path)) > 0;
  FPlatform.Record("Sound.Open(" + path + ")" + (ok ? "" : "=failed"));
  if (!ok) throw Exception("Cannot open media file " + path);
  FOpenFile = path;
}

void THeadlessMediaPlayer::DoPlay(bool notify) {
  if (FOpenFile.empty()) throw Exception("No media device open");
  FPlatform.Record("Sound.Play(" + FOpenFile + ")" + (notify ? "" : " no-notify"));
  if (FPendingNotify) QueueNotify(TMPNotifyValues::nvSuperseded);  // the earlier play's
  if (FPlatform.Script().SoundDeviceFails) {
    FPlaying = false;
    FPendingNotify = false;
    if (notify) QueueNotify(TMPNotifyValues::nvFailure);
    return;
  }
  FPlaying = true;
  FPendingNotify = notify;
  if (FPlatform.Script().AutoFinishSounds) {
    const uint32_t length = WaveLengthMs(FOpenFile);
    KillFinishTimer();
    if (length > 0) FFinishTimer = FPlatform.App().SetTimer(length, [this] { FinishNow(); });
  }
}

void THeadlessMediaPlayer::DoStop(bool notify) {
  FPlatform.Record(std::string("Sound.Stop") + (notify ? "" : " no-notify"));
  KillFinishTimer();
  const bool owed = FPendingNotify;
  FPlaying = false;
  FPendingNotify = false;
  if (owed || notify) {
    QueueNotify(owed ? TMPNotifyValues::nvAborted : TMPNotifyValues::nvSuccessful);
  }
}

void THeadlessMediaPlayer::FinishNow() {
  KillFinishTimer();
  if (!FPlaying) return;
  FPlatform.Record("Sound.Finished(" + FOpenFile + ")");
  FPlaying = false;
  if (FPendingNotify) {
    FPendingNotify = false;
    QueueNotify(TMPNotifyValues::nvSuccessful);
  }
}

void THeadlessMediaPlayer::KillFinishTimer() {
  if (FFinishTimer) FPlatform.App().KillTimer(FFinishTimer);
  FFinishTimer = 0;
}

void THeadlessMediaPlayer::QueueNotify(TMPNotifyValues value) {
  std::weak_ptr<bool> alive = FAlive;
  FPlatform.App().Post([this, alive, value] {
    const auto flag = alive.lock();
    if (flag && *flag) Notified(value);
  });
}

}  // namespace tovrin
