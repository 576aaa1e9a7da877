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
    {"Curved wipe from the left", "curved wipe"},                                      // 58
    {"Curved wipe from the right", "curved wipe"},                                     // 59
    {"Interlaced rows grow from the right", "bands"},                                  // 60
    {"Interlaced rows grow from the left", "bands"},                                   // 61
    {"Interlaced rows grow from the left, then the rest from the right", "bands"},     // 62
    {"Interlaced rows grow from the right, then the rest from the left", "bands"},     // 63
    {"Interlaced rows grow from both sides at once", "bands"},                         // 64
    {"Ragged wipe from the right", "ragged"},                                          // 65
    {"Ragged wipe from the left", "ragged"},                                           // 66
    {"Ragged wipe from a centre column outwards", "ragged"},                           // 67
    {"Ragged wipe from both sides inwards", "ragged"},                                 // 68
    {"Curved wipe from the top", "curved wipe"},                                       // 69
    {"Curved wipe from the bottom", "curved wipe"},                                    // 70
    {"Interlaced columns grow from the bottom", "bands"},                              // 71
    {"Interlaced columns grow from the top", "bands"},                                 // 72
    {"Interlaced columns grow from the top, then the rest from the bottom", "bands"},  // 73
    {"Interlaced columns grow from the bottom, then the rest from the top", "bands"},  // 74
    {"Interlaced columns grow from the top and bottom at once", "bands"},              // 75
    {"Ragged wipe from the bottom", "ragged"},                                         // 76
    {"Ragged wipe from the top", "ragged"},                                            // 77
    {"Ragged wipe from a centre row outwards", "ragged"},                              // 78
    {"Ragged wipe from the top and bottom inwards", "ragged"},                         // 79
    {"Curved wipe from the top left corner", "curved wipe"},                           // 80
    {"Curved wipe from the top right corner", "curved wipe"},                          // 81
    {"Curved wipe from the bottom left corner", "curved wipe"},                        // 82
    {"Curved wipe from the bottom right corner", "curved wipe"},                       // 83
    {"Rounded iris opening from the centre", "iris"},                                  // 84
    {"Rounded iris closing on the centre", "iris"},                                    // 85
    {"Rows grow from the right; columns from the bottom", "bands"},                    // 86
    {"Rows grow from the right; columns from the top", "bands"},                       // 87
    {"Rows grow from the left; columns from the bottom", "bands"},                     // 88
    {"Rows grow from the left; columns from the top", "bands"},                        // 89
    {"Rows grow from the left, then the rest from the right; columns from the top, then the rest "
     "from the bottom",
     "bands"},  // 90
    {"Rows grow from the left, then the rest from the right; columns from the bottom, then the "
     "rest from the top",
     "bands"},  // 91
    {"Rows grow from the right, then the rest from the left; columns from the top, then the rest "
     "from the bottom",
     "bands"},  // 92
    {"Rows grow from the right, then the rest from the left; columns from the bottom, then the "
     "rest from the top",
     "bands"},                                                                                // 93
    {"Rows grow from the right; columns from the top and bottom at once", "bands"},           // 94
    {"Rows grow from the left; columns from the top and bottom at once", "bands"},            // 95
    {"Rows grow from both sides at once; columns from the bottom", "bands"},                  // 96
    {"Rows grow from both sides at once; columns from the top", "bands"},                     // 97
    {"Rows grow from both sides at once; columns from the top and bottom at once", "bands"},  // 98
    {"Hold the old picture, then cut to the new one", "bands"},                               // 99
    {"Ragged wipe from the right and from the bottom", "ragged"},                             // 100
    {"Ragged wipe from the right and from the top", "ragged"},                                // 101
    {"Ragged wipe from the left and from the bottom", "ragged"},                              // 102
    {"Ragged wipe from the left and from the top", "ragged"},                                 // 103
    {"Ragged wipe from the right and from a centre row outwards", "ragged"},                  // 104
    {"Ragged wipe from the left and from a centre row outwards", "ragged"},                   // 105
    {"Ragged wipe from a centre column outwards and from the bottom", "ragged"},              // 106
    {"Ragged wipe from a centre column outwards and from the top", "ragged"},                 // 107
    {"Ragged wipe from a centre column outwards and from a centre row outwards", "ragged"},   // 108
    {"Ragged wipe from both sides inwards and from the top and bottom inwards", "ragged"},    // 109
    {"Triangle grows from the top left corner", "triangle"},                                  // 110
    {"Triangle grows from the top right corner", "triangle"},                                 // 111
    {"Triangle grows from the bottom left corner", "triangle"},                               // 112
    {"Triangle grows from the bottom right corner", "triangle"},                              // 113
    {"Wedges sweep in from the left and right edges", "triangle"},                            // 114
    {"Wedges sweep in from the top and bottom edges", "triangle"},                            // 115
    {"Four wedges sweep round the centre", "triangle"},                                       // 116
    {"Triangles grow in every cell of a ten by ten grid", "triangle"},                        // 117
    {"Cross-fade", "fade"},                                                                   // 118
    {"Swing in about the top left corner", "swing"},                                          // 119
    {"Swing in about the bottom left corner", "swing"},                                       // 120
    {"Swing in about the top right corner", "swing"},                                         // 121
    {"Swing in about the bottom right corner", "swing"},                                      // 122
    {"Crumble in from the right", "crumble"},                                                 // 123
    {"Crumble in from the left", "crumble"},                                                  // 124
    {"Crumble in from the bottom", "crumble"},                                                // 125
    {"Crumble in from the top", "crumble"},                                                   // 126
    {"Random blocks, more and larger", "blocks"},                                             // 127
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
