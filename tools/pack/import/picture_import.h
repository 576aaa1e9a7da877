// What tovrin-pack does with one picture file before storing it: the engine shows JPEG data as
// it is decoded, so everything else is done here.
//
//   JPEG inside the box, upright (no EXIF orientation, or 1, or --keep-orientation)
//        -> stored byte for byte
//   JPEG inside the box with orientation 2 to 8
//        -> turned losslessly (jpeg_lossless_turn.h), or decoded, turned and re-encoded when
//           its partial edge blocks do not allow that
//   JPEG larger than the box
//        -> decoded at a reduced scale (gfx DecodeJPEGForReencoding), turned, box-filtered down
//           to fit (box_downscale.h) and re-encoded
//   PNG, HEIC/HEIF
//        -> decoded, fitted when larger than the box, encoded as JPEG
//   anything else, or a kind this build cannot read
//        -> refused
//
// "The box" is --fit WxH; without it every picture is inside the box. Sizes are compared after
// turning: a portrait photo must fit the box standing up.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "exif_orientation.h"
#include "fit_box.h"
#include "jpeg_encode.h"
#include "picture_type.h"

namespace tovrin {

struct TImportOptions {
  bool ApplyOrientation = true;  // off with --keep-orientation
  TFitBox Fit;                   // --fit; empty: no box
  int Quality = DefaultJpegQuality;
};

enum class TImportAction {
  iaCopied,     // stored byte for byte
  iaTurned,     // turned upright losslessly
  iaReencoded,  // decoded (and turned, shrunk or converted as needed) and encoded again
};

// What will happen to a picture, decided from its headers alone.
struct TImportPlan {
  TPictureType Type = TPictureType::ptUnknown;
  int32_t Width = 0;  // the size as stored (for HEIF, after the container's transformations)
  int32_t Height = 0;
  bool Grey = false;         // JPEG only: one grey-scale component
  bool Progressive = false;  // JPEG only
  TExifOrientation Exif;     // JPEG only
  int Orientation = 1;       // the orientation that will be applied (1: none)
  bool CopyAsIs = false;     // no decoding or transform needed
};

struct TImportedPicture {
  TImportAction Action = TImportAction::iaCopied;
  std::vector<uint8_t> Jpeg;  // the data to store; empty when copied (store the input)
  int32_t Width = 0;          // the stored picture's size
  int32_t Height = 0;
  std::vector<std::string> Warnings;  // sentences for the user; the picture is still stored
};

// Decides from the file's first bytes and headers. Raises EInvalidGraphic when the file is not
// a kind this build reads (the message names the kinds it does read) or its JPEG header cannot
// be read, EOutOfResources when it is too large to decode.
TImportPlan PlanImport(std::span<const uint8_t> file, const TImportOptions& options);

// Does what PlanImport decided. Raises what PlanImport raises, and EInvalidGraphic or
// EOutOfResources when the picture cannot be decoded. A damaged EXIF block is not an error: the
// picture is stored as it is, with a warning.
TImportedPicture ImportPicture(std::span<const uint8_t> file, const TImportOptions& options);

// As above, with the plan PlanImport made of the same file and options.
TImportedPicture ImportPicture(std::span<const uint8_t> file, const TImportPlan& plan,
                               const TImportOptions& options);

// The most memory ImportPicture holds at once for a picture so planned, the file's own
// fileSize bytes included: an estimate from the headers, made to err on the large side, which a
// build that converts several pictures at a time reserves before each one. A picture stored as
// it is needs only its file. Otherwise, of the buffers the size of the picture (W x H pixels as
// decoded; 3 bytes a pixel, 1 for grey JPEG data):
//   decoded and re-encoded   the decoded bitmap and one more at a time (the turned copy, the
//                            shrunk one or the encoded data); a progressive JPEG's decoder also
//                            keeps all of the coefficients of the full picture (2 bytes each, one
//                            per pixel and component, chroma counted at full resolution)
//   turned losslessly        the coefficients twice (read, and turned) and the new file twice
//                            (TurboJPEG's buffer and our copy); tried before decoding, so a
//                            picture that may take either way counts the larger
//   HEIF                     libheif's planes (up to 6 bytes a pixel) beside its interleaved
//                            pixels (4), then those beside our bitmap, then two bitmaps
int64_t ImportWorkingMemory(const TImportPlan& plan, int64_t fileSize,
                            const TImportOptions& options);

}  // namespace tovrin
