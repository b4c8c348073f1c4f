#pragma once

#include "core/window/settings.h"

#include <functional>
#include <optional>
#include <string>

namespace bp {

class BrickpovMain;
class Control;
class SettingsStore;

// A list of presets: the built-in ones first, then the user's, which the
// settings store keeps as numbered records. Entry n of the list uses slot n
// of a table its feature holds.
struct PresetList {
    Control& list;
    int builtIn;
    int max;                               // entries in all, the built-in ones included
    Setting<std::string> (*record)(int n); // the store's record of user entry n
    // The New Preset dialog's caption and the name it proposes; shown modally
    // or, where a pending "Save As" keeps its slot filled meanwhile, not.
    const char* caption;
    const char* proposedName;
    bool modal;
    const char* fullTitle;
    const char* fullText;
    const char* builtInTitle;
    const char* builtInText;
    const char* askTitle;
    const char* askText;
};

// Adds the stored user presets in key order, up to the list's limit. `read`
// fills the slot from a record and gives the entry's name, or nothing to
// stop the loading there; an empty record stops it too.
void loadUserPresets(
    SettingsStore& store, const PresetList& p,
    const std::function<std::optional<std::string>(int slot, const std::string& record)>& read);

// Writes the record of every user entry, keys 0 upwards.
void saveUserPresets(SettingsStore& store, const PresetList& p,
                     const std::function<std::string(int slot)>& record);

// "Save As": refuses a full list with its message; else `fill` fills the
// slot of the entry to come and the New Preset dialog asks for its name.
void saveNewPreset(BrickpovMain& m, const PresetList& p, const std::function<void(int slot)>& fill);

// "Delete": refuses a built-in entry, asks, moves the later slots up with
// `move(to, from)`, selects the entry above, removes the entry and the
// highest stored key, and rebuilds the command line.
void deletePreset(BrickpovMain& m, const PresetList& p,
                  const std::function<void(int to, int from)>& move);

} // namespace bp
