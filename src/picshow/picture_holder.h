// TPictureHolder: the control's own copy of a picture (Picture, BgPicture) with a change
// notification.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "gfx/bitmap.h"
#include "gfx/graphic.h"

namespace tovrin {

class TPictureHolder {
 public:
  // True when a graphic with a width and a height is held. An empty graphic (0 pixels wide or
  // high) counts as none: there is nothing to show or to run a transition to.
  bool HasGraphic() const { return FGraphic && !FGraphic->Empty(); }
  // The held graphic, or nullptr.
  const TGraphic* Graphic() const { return FGraphic.get(); }
  int32_t Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int32_t Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // Holds a copy of graphic (nullptr empties the holder), then runs OnChange.
  void Assign(const TGraphic* graphic) {
    FGraphic = graphic ? graphic->Clone() : nullptr;
    Changed();
  }
  // Holds a copy of bitmap.
  void Assign(const TBitmap& bitmap) {
    FGraphic = std::make_unique<TBitmapGraphic>(bitmap);
    Changed();
  }
  // Holds bitmap itself (a frame made for the holder, which need not be copied).
  void Assign(TBitmap&& bitmap) {
    FGraphic = std::make_unique<TBitmapGraphic>(std::move(bitmap));
    Changed();
  }

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }

  std::unique_ptr<TGraphic> FGraphic;
};

}  // namespace tovrin
