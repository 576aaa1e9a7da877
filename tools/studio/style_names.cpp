#include "style_names.h"

#include <array>

namespace tovrin {

namespace {

// Styles 1 to 17 along the horizontal axis; 18 to 34 are the same down the vertical one, where
// "left" becomes "top" and "right" becomes "bottom".
struct TAxisName {
  const char* Across;
  const char* Down;
  const char* Family;
};
constexpr std::array<TAxisName, 17> kAxis{{
    {"Squeeze in from the right", "Squeeze in from the bottom", "squeeze"},
    {"Squeeze in from the left", "Squeeze in from the top", "squeeze"},
    {"Slide in from the right", "Slide in from the bottom", "slide"},
    {"Slide in from the left", "Slide in from the top", "slide"},
    {"Wipe from the left", "Wipe from the top", "wipe"},
    {"Wipe from the right", "Wipe from the bottom", "wipe"},
    {"Unroll stretched from the left", "Unroll stretched from the top", "expand"},
    {"Unroll stretched from the right", "Unroll stretched from the bottom", "expand"},
    {"Grow stretched from a centre column", "Grow stretched from a centre row", "expand"},
    {"Squeeze out from a centre column", "Squeeze out from a centre row", "squeeze"},
    {"Wipe out from a centre column", "Wipe out from a centre row", "wipe"},
    {"Wipe in from the left and right edges", "Wipe in from the top and bottom edges", "wipe"},
    {"Squeeze each half in from its side edge", "Squeeze each half in from its top or bottom edge",
     "squeeze"},
    {"Roll across from the left", "Roll down from the top", "roll"},
    {"Roll across from the right", "Roll up from the bottom", "roll"},
    {"Smear in from the left", "Smear in from the top", "smear"},
    {"Smear in from the right", "Smear in from the bottom", "smear"},
}};

struct TNamed {
  const char* Name;
  const char* Family;
};
constexpr std::array<TNamed, 93> kRest{{
    // 35..38 squeezed into a corner
    {"Squeeze in from the bottom right corner", "corner"},
    {"Squeeze in from the top right corner", "corner"},
    {"Squeeze in from the top left corner", "corner"},
    {"Squeeze in from the bottom left corner", "corner"},
    // 39..42 sliding in from a corner
    {"Slide in from the bottom right corner", "corner"},
    {"Slide in from the top right corner", "corner"},
    {"Slide in from the top left corner", "corner"},
    {"Slide in from the bottom left corner", "corner"},
    // 43..46 wiped from a corner
    {"Wipe from the top left corner", "corner"},
    {"Wipe from the bottom left corner", "corner"},
    {"Wipe from the bottom right corner", "corner"},
    {"Wipe from the top right corner", "corner"},
    // 47..50 expanding from a corner
    {"Grow stretched from the top left corner", "corner"},
    {"Grow stretched from the bottom left corner", "corner"},
    {"Grow stretched from the bottom right corner", "corner"},
    {"Grow stretched from the top right corner", "corner"},
    // 51..53 from the centre
    {"Grow stretched from the centre", "centre"},
    {"Squeeze out from the centre", "centre"},
    {"Wipe out from the centre as a box", "centre"},
    // 54..57 four pieces
    {"Wipe in from all four edges", "four pieces"},
    {"Wipe in from all four corners", "four pieces"},
    {"Squeeze each quarter into its corner", "four pieces"},
    {"Slide the quarters in from the four sides", "four pieces"},
    // 58, 59 curved wipes
    {"Curved wipe, first variant", "curved wipe"},
    {"Curved wipe, second variant", "curved wipe"},
    // 60..64 bands across
    {"Bands grow across, first variant", "bands"},
    {"Bands grow across, second variant", "bands"},
    {"Bands grow across, third variant", "bands"},
    {"Bands grow across, fourth variant", "bands"},
    {"Bands grow across from one side", "bands"},
    // 65..68 ragged wipes across
    {"Ragged wipe across, first variant", "ragged"},
    {"Ragged wipe across, second variant", "ragged"},
    {"Ragged wipe across, third variant", "ragged"},
    {"Ragged wipe across, fourth variant", "ragged"},
    // 69, 70 curved wipes
    {"Curved wipe, third variant", "curved wipe"},
    {"Curved wipe, fourth variant", "curved wipe"},
    // 71..75 bands down
    {"Bands grow down, first variant", "bands"},
    {"Bands grow down, second variant", "bands"},
    {"Bands grow down, third variant", "bands"},
    {"Bands grow down, fourth variant", "bands"},
    {"Bands grow down from one side", "bands"},
    // 76..79 ragged wipes down
    {"Ragged wipe down, first variant", "ragged"},
    {"Ragged wipe down, second variant", "ragged"},
    {"Ragged wipe down, third variant", "ragged"},
    {"Ragged wipe down, fourth variant", "ragged"},
    // 80..83 curved wipes from the corners
    {"Curved corner wipe, first corner", "curved wipe"},
    {"Curved corner wipe, second corner", "curved wipe"},
    {"Curved corner wipe, third corner", "curved wipe"},
    {"Curved corner wipe, fourth corner", "curved wipe"},
    // 84, 85 iris
    {"Iris opening from the centre", "iris"},
    {"Iris closing to the centre", "iris"},
    // 86..99 bands both ways
    {"Checked bands, first variant", "bands"},
    {"Checked bands, second variant", "bands"},
    {"Checked bands, third variant", "bands"},
    {"Checked bands, fourth variant", "bands"},
    {"Checked bands, fifth variant", "bands"},
    {"Checked bands, sixth variant", "bands"},
    {"Checked bands, seventh variant", "bands"},
    {"Checked bands, eighth variant", "bands"},
    {"Grid bands, first variant", "bands"},
    {"Grid bands, second variant", "bands"},
    {"Grid bands, third variant", "bands"},
    {"Grid bands, fourth variant", "bands"},
    {"Grid bands from one corner", "bands"},
    {"Grid bands, fifth variant", "bands"},
    // 100..109 ragged both ways
    {"Ragged wipe both ways, first variant", "ragged"},
    {"Ragged wipe both ways, second variant", "ragged"},
    {"Ragged wipe both ways, third variant", "ragged"},
    {"Ragged wipe both ways, fourth variant", "ragged"},
    {"Ragged wipe both ways, fifth variant", "ragged"},
    {"Ragged wipe both ways, sixth variant", "ragged"},
    {"Ragged wipe both ways, seventh variant", "ragged"},
    {"Ragged wipe both ways, eighth variant", "ragged"},
    {"Ragged wipe both ways, ninth variant", "ragged"},
    {"Ragged wipe both ways, tenth variant", "ragged"},
    // 110..117 triangles
    {"Triangle wipe, first variant", "triangle"},
    {"Triangle wipe, second variant", "triangle"},
    {"Triangle wipe, third variant", "triangle"},
    {"Triangle wipe, fourth variant", "triangle"},
    {"Triangle wipe, fifth variant", "triangle"},
    {"Triangle wipe, sixth variant", "triangle"},
    {"Triangle wipe, seventh variant", "triangle"},
    {"Triangles grow in a ten by ten grid", "triangle"},
    // 118..122 pixel styles
    {"Cross-fade", "fade"},
    {"Swing in, first variant", "swing"},
    {"Swing in, second variant", "swing"},
    {"Swing in, third variant", "swing"},
    {"Swing in, fourth variant", "swing"},
    // 123..126 crumble, 127 random blocks
    {"Crumble, first direction", "crumble"},
    {"Crumble, second direction", "crumble"},
    {"Crumble, third direction", "crumble"},
    {"Crumble, fourth direction", "crumble"},
    {"Random blocks", "blocks"},
}};

}  // namespace

TStyleName StyleName(int32_t style) {
  if (style == 0) return {"Cut straight to the next picture", "cut"};
  if (style >= 1 && style <= 17) return {kAxis[style - 1].Across, kAxis[style - 1].Family};
  if (style >= 18 && style <= 34) return {kAxis[style - 18].Down, kAxis[style - 18].Family};
  if (style >= 35 && style <= 127) return {kRest[style - 35].Name, kRest[style - 35].Family};
  return {};
}

}  // namespace tovrin
