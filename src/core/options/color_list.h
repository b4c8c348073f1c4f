#pragma once

#include <array>

namespace bp {

struct ColorEntry {
    const char* name;
    int number; // the LDraw colour number L3P receives
};

// The default-colour list in its designed order; some names and numbers
// occur twice.
inline constexpr std::array<ColorEntry, 72> kColorList{{
    {"Black", 0},
    {"Blue", 1},
    {"Green", 2},
    {"Teal", 3},
    {"Red", 4},
    {"Dk Pink", 5},
    {"Purple", 5},
    {"Brown", 6},
    {"Gray", 7},
    {"Dk Gray", 8},
    {"Lt Blue", 9},
    {"Lt Green", 10},
    {"Cyan", 11},
    {"Lt Red", 12},
    {"Pink", 13},
    {"Yellow", 14},
    {"White", 15},
    {"Main Color", 16},
    {"Pastel Green", 17},
    {"Lt Yellow", 18},
    {"Tan", 19},
    {"Lt Violet", 20},
    {"Glow in Dark", 21},
    {"Violet", 22},
    {"Violet Blue", 23},
    {"Orange", 25},
    {"Magenta", 26},
    {"Lime", 27},
    {"Dk Tan", 28},
    {"Tr Blue", 33},
    {"Tr Green", 34},
    {"Tr Red", 36},
    {"Tr Gray", 40},
    {"Tr Lt Blue", 41},
    {"Tr Flu Lime", 42},
    {"Tr Pink", 45},
    {"Tr Violet", 46},
    {"Tr Yellow", 46},
    {"Clear", 47},
    {"Tr White", 47},
    {"Tr Flu Orange", 57},
    {"Reddish Brown", 70},
    {"Stone Gray", 71},
    {"Dk Stone Gray", 72},
    {"Pearl Copper", 134},
    {"Pearl Gray", 135},
    {"Pearl Sand Blue", 137},
    {"Pearl Gold", 142},
    {"Rubber Black", 256},
    {"Dk Blue", 272},
    {"Rubber Blue", 273},
    {"Dk Green", 288},
    {"Dk Red", 320},
    {"Rubber Red", 324},
    {"Chrome Gold", 334},
    {"Sand Red", 335},
    {"Earth Orange", 366},
    {"Sand Violet", 373},
    {"Rubber Gray", 375},
    {"Sand Green", 378},
    {"Sand Blue", 379},
    {"Tan", 382},
    {"Chrome Silver", 383},
    {"Bright Green", 418},
    {"Mint Green", 431},
    {"Pastel Green", 431},
    {"Lt Orange", 462},
    {"Dk Orange", 484},
    {"Elec Contact", 494},
    {"Lt Yellow", 495},
    {"Lt Gray", 503},
    {"Rubber White", 511},
}};

} // namespace bp
