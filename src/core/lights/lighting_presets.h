#pragma once

#include "core/options/built_in_presets.h"
#include "core/window/brickpov_main.h"
#include "core/window/preset_list.h"

#include <iterator>
#include <string>

namespace bp {

inline constexpr int kBuiltInSchemes = static_cast<int>(std::size(kBuiltInSchemePositions));
inline constexpr int kMaxSchemes = kLightPresets;

// Fills the built-in schemes, whitens every light, and reads the user's
// schemes from the settings store.
void LoadLightingPresets(BrickpovMain& m);
// Writes the user's schemes to the settings store.
void saveLightingPresets(BrickpovMain& m);

PresetList lightingPresetList(BrickpovMain& m);

void Cbo_LightPreset_Click(BrickpovMain& m);
void Btn_LightPresetSave_Click(BrickpovMain& m);
void Btn_LightPresetDelete_Click(BrickpovMain& m);

void wireLightingPresets(BrickpovMain& m);

// The stored form of a user scheme: the name, then the seven values of each
// light from the first through the last one in use (any position value not
// zero). A reader of the older form, which kept only lights with both first
// values set, reads it light by light all the same.
std::string userLightingRecord(const std::string& name, const LightTable& preset);

// Reads a stored scheme into a preset (lights not stored stay as they are).
// The name is the text before the first comma, or the whole record.
std::string parseUserLightingRecord(const std::string& record, LightTable& preset);

} // namespace bp
