#pragma once

#include <optional>
#include <string>

namespace bp {

class BrickpovMain;

// Reads a scene into the controls, applying each field as it is read.
// False when the file could not be opened (a message says why) or read to
// its end (or to a section's designed end) and the load stopped part way.
bool LoadScene(BrickpovMain& m, const std::string& path);

// Writes the whole option state and the render settings to a scene file.
// The old file is replaced only once the new one is completely written, and
// never when it is read-only. False, with a message, when nothing was written.
bool SaveScene(BrickpovMain& m, const std::string& path);

// The text a scene holds for the current state.
std::string sceneText(BrickpovMain& m);

// Applies Default.BPS from the program's folder once per run.
void LoadDefaultScene(BrickpovMain& m);

void Mnu_FileOpen_Click(BrickpovMain& m);
void Mnu_FileSave_Click(BrickpovMain& m);

void wireSceneFile(BrickpovMain& m);

} // namespace bp
