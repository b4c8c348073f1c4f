#pragma once

#include "core/app/brickpov_main.h"

#include <string>

namespace bp {

inline constexpr int kBuiltInSchemes = 3;

// Fills the built-in schemes, whitens every light, and reads the user's
// schemes from the settings store.
void LoadLightingPresets(BrickpovMain& m);

// The stored form of a user scheme: the name, then the seven values of every
// light whose first two values are both non-zero.
std::string userLightingRecord(const std::string& name, const LightTable& preset);

} // namespace bp
