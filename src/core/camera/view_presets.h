#pragma once

#include "core/app/brickpov_main.h"

#include <string>

namespace bp {

inline constexpr int kBuiltInViews = 10;

// Fills the built-in views and reads the user's views from the settings store.
void LoadViewPresets(BrickpovMain& m);

// "name,v0,...,v8": the stored form of a user view.
std::string userViewRecord(const std::string& name, const std::array<float, 9>& row);

} // namespace bp
