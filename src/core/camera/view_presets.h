#pragma once

#include "core/window/brickpov_main.h"
#include "core/window/preset_list.h"

#include <optional>
#include <string>

namespace bp {

inline constexpr int kBuiltInViews = 10;
inline constexpr int kMaxViews = 30;

PresetList viewPresetList(BrickpovMain& m);

// Fills the built-in views and reads the user's views from the settings store.
void LoadViewPresets(BrickpovMain& m);
// Writes the user's views to the settings store.
void saveViewPresets(BrickpovMain& m);

void Cbo_CameraPreset_Click(BrickpovMain& m);
void Btn_CameraPresetSave_Click(BrickpovMain& m);
void Btn_CameraPresetDelete_Click(BrickpovMain& m);

void wireViewPresets(BrickpovMain& m);

// "name,v0,...,v8": the stored form of a user view.
std::string userViewRecord(const std::string& name, const std::array<float, 9>& row);

// Reads a stored user view; empty when the record has no comma.
struct UserView {
    std::string name;
    std::array<float, 9> row{};
};
std::optional<UserView> parseUserViewRecord(const std::string& record);

} // namespace bp
