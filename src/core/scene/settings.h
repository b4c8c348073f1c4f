#pragma once

#include <string>

namespace bp {

class BrickpovMain;

inline constexpr const char* kAppName = "Brickpov";
inline constexpr const char* kNotInstalled = "Not Installed";
inline constexpr const char* kLDrawIniRead = "LDraw.ini";
inline constexpr const char* kLDrawIniWrite = "LDraw.INI";

// Writes the folders, LDraw.ini and the user presets when the program ends.
void SaveSettings(BrickpovMain& m);

} // namespace bp
