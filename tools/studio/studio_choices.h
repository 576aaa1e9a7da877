// The choices the studio's page makes for a saver, as JSON and as tovrin-pack's build request.
//
//   {"title":"","author":"","email":"","web":"",
//    "caption":{"text":"","font":"DejaVu Sans","size":24,"color":"#ffffff","template":""},
//    "intervalMs":5000, "styles":"random" | [N,...], "randomOrder":false, "shuffle":false,
//    "stretch":false, "clearOld":false, "fit":true, "fill":"black"|"blur", "motion":false,
//    "mute":false}
//
// Each field means what the tovrin-pack build option of the same name means. "styles": "random"
// stores every style but the cut (1 to 127) picked at random; a list stores those styles in that
// order. "fit": pictures larger than 1920 x 1080 are shrunk to fit it (--fit 1920x1080).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace tovrin {

struct TBuildRequest;

// The box "fit" shrinks pictures into.
inline constexpr int32_t StudioFitWidth = 1920;
inline constexpr int32_t StudioFitHeight = 1080;

struct TStudioChoices {
  std::string Title, Author, Email, Web;  // UTF-8
  std::string CaptionText;
  std::string CaptionFont = "DejaVu Sans";
  int32_t CaptionSize = 24;              // points, 1 to 1000
  std::string CaptionColor = "#ffffff";  // #rrggbb
  std::string CaptionTemplate;
  int32_t IntervalMs = 5000;
  bool RandomStyles = true;     // "styles": "random"
  std::vector<int32_t> Styles;  // otherwise these, in order
  bool RandomOrder = false;
  bool Shuffle = false;
  bool Stretch = false;
  bool ClearOld = false;
  bool Fit = true;
  bool BlurFill = false;  // "fill": "blur"
  bool Motion = false;    // kept with the project; builds use it once the engine shows motion
  bool Mute = false;
};

nlohmann::json ChoicesToJson(const TStudioChoices& choices);

// Takes the fields present in `json` (an object) into `choices`, after checking all of them:
// raises EStudioError (sfBadRequest) naming the first field it cannot take, and then changes
// nothing. Unknown fields are refused too, so a misspelt field is not silently lost.
void MergeChoicesJson(TStudioChoices& choices, const nlohmann::json& json);

// Sets the request's show settings, caption template and picture options from the choices.
// Raises EStudioError (sfBadRequest) naming the field whose text the package cannot store.
void ApplyChoices(const TStudioChoices& choices, TBuildRequest& request);

}  // namespace tovrin
