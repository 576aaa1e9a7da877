#include "caption_fonts.h"

#include "platform/freetype/font_match.h"

namespace tovrin {

std::vector<std::string> CaptionFonts() {
  TFontMatcher matcher;
  return matcher.Families();
}

}  // namespace tovrin
