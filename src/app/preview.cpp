#include "app/preview.h"

#include <cstdint>
#include <memory>

#include "core/conversions.h"
#include "core/errors.h"
#include "gfx/stretch.h"
#include "package/package_locator.h"

namespace tovrin {

namespace {

// How long a wait for the host's messages lasts before its visibility is tested again. The
// waits block on the message queue in between, so an open settings window costs no processor.
constexpr uint32_t kHostPollMs = 50;

}  // namespace

void RunPreview(TPlatform& platform, const std::string& hostWindowArg) {
  const auto handle = static_cast<TWindowHandle>(static_cast<uint32_t>(StrToInt(hostWindowArg)));
  TApplication& application = platform.Application();
  std::unique_ptr<TPreviewHost> host = platform.OpenPreviewHost(handle);
  if (!host) return;

  // Wait for the host to show its window.
  while (host->Exists() && !host->IsVisible()) {
    application.WaitMessage(kHostPollMs);
    application.ProcessMessages();
  }
  if (!host->Exists()) return;

  // One more than the window's width and height, as the host's window rectangle is taken.
  const TRect rect = host->WindowRect();
  const int32_t drawWidth = rect.Right - rect.Left + 1;
  const int32_t drawHeight = rect.Bottom - rect.Top + 1;

  {
    std::unique_ptr<TFileStream> stream = OpenSelfStream(platform.System().ExeName());
    const int64_t size = stream->Size();
    char field[TrailerFieldSize];
    if (size < PackageTrailerSize) return;
    stream->Seek(size - PackageTrailerSize, TSeekOrigin::soBeginning);
    if (stream->Read(field, sizeof field) < sizeof field) return;
    const int32_t packageLength = StrToNumber(std::string_view(field, sizeof field));
    const int64_t first = size - int64_t{packageLength} - PackageTrailerSize;
    if (first < 0) throw EReadError("Stream read error");

    // The first item of the package is the first picture; its stored size is ignored.
    std::unique_ptr<TImage> item = ReadPictureItemAt(*stream, first);
    const auto* jpeg = dynamic_cast<const TJPEGImage*>(item->Picture().Graphic());
    if (jpeg && !jpeg->Empty() && drawWidth > 0 && drawHeight > 0) {
      // The host's window is a thumbnail: the picture is decoded only as large as it needs (a
      // reduced scale that still covers it), not at full size, which for a large photograph
      // would take up to a gigabyte for a few thousand pixels.
      TBitmap frame(drawWidth, drawHeight);
      StretchDrawGraphic(frame, TRect{0, 0, drawWidth, drawHeight},
                         jpeg->BitmapCovering(drawWidth, drawHeight));
      host->Draw(0, 0, frame);
    }
  }

  // Drawn once; stay until the host hides or destroys its window.
  while (host->Exists() && host->IsVisible()) {
    application.WaitMessage(kHostPollMs);
    application.ProcessMessages();
  }
}

}  // namespace tovrin
