#include "package_plan.h"

#include <span>

#include "core/errors.h"
#include "package/object_writer.h"
#include "package/package_locator.h"
#include "package/ss_file_locations.h"
#include "package/stream.h"

namespace tovrin {

namespace {

// Gives each item its offset from `position` on and returns the position after the last one.
template <class SizeOf>
int64_t Place(const TPackagePlan& plan, std::vector<TPlannedItem>& items, int64_t position,
              SizeOf sizeOf) {
  for (TPlannedItem& item : items) {
    item.Offset = position;
    position += sizeOf(item.FileSize);
    if (position > MaxPackagedFileSize) RefuseTooLarge(plan.OutputPath, position);
  }
  return position;
}

}  // namespace

void RefuseTooLarge(const std::string& outputPath, int64_t size) {
  throw EOutOfResources(outputPath + ": the screen saver would be " + std::to_string(size) +
                        " bytes or more; it must stay below 2 GiB (2147483648 bytes)");
}

int64_t PictureItemSize(int64_t jpegSize) {
  // The item's bytes around the JPEG data never change, so measure them once.
  static const int64_t overhead = [] {
    TMemoryStream stream;
    WritePictureItem(stream, std::span<const uint8_t>());
    return stream.Size();
  }();
  return overhead + jpegSize;
}

void LayOutPackage(TPackagePlan& plan, TSSFileLocations& settings) {
  if (plan.EngineSize > MaxPackagedFileSize) RefuseTooLarge(plan.OutputPath, plan.EngineSize);
  int64_t position = plan.EngineSize;
  position = Place(plan, plan.Pictures, position, PictureItemSize);
  const auto raw = [](int64_t size) { return size; };
  position = Place(plan, plan.Sounds, position, raw);
  position = Place(plan, plan.Movies, position, raw);
  plan.SettingsOffset = position;

  auto& pics = settings.PicList();
  auto& picNames = settings.PicFileNameList();
  pics.clear();
  picNames.clear();
  for (const TPlannedItem& item : plan.Pictures) {
    pics.push_back(std::to_string(item.Offset));
    picNames.push_back(item.StoredName);
  }
  const auto fill = [](const std::vector<TPlannedItem>& items, TStringList& offsets,
                       TStringList& names, TStringList& sizes) {
    offsets.clear();
    names.clear();
    sizes.clear();
    for (const TPlannedItem& item : items) {
      offsets.push_back(std::to_string(item.Offset));
      names.push_back(item.StoredName);
      sizes.push_back(std::to_string(item.FileSize));
    }
  };
  fill(plan.Sounds, settings.SndList(), settings.SndFileNameList(), settings.SndSizeList());
  fill(plan.Movies, settings.FlashList(), settings.FlashFileNameList(), settings.FlashSizeList());

  TMemoryStream stream;
  WriteShowSettings(stream, settings);
  plan.SettingsBytes = std::move(stream.Bytes());
  plan.SettingsSize = static_cast<int64_t>(plan.SettingsBytes.size());
  plan.TotalSize = plan.SettingsOffset + plan.SettingsSize + PackageTrailerSize;
  if (plan.TotalSize > MaxPackagedFileSize) RefuseTooLarge(plan.OutputPath, plan.TotalSize);
  plan.PackageLength = plan.TotalSize - PackageTrailerSize - plan.EngineSize;
}

std::string PackageTrailerText(int64_t packageLength, int64_t settingsOffset) {
  std::string text = std::to_string(packageLength);
  text.resize(TrailerFieldSize, ' ');
  std::string second = std::to_string(settingsOffset);
  second.resize(TrailerFieldSize, ' ');
  return text + second;
}

}  // namespace tovrin
