#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace bp {

class BrickpovMain;

// Takes the camera and look-at positions from "camera.dat" and "look_at.dat"
// references in the chosen model.
void Bnt_GetCamFromModel_Click(BrickpovMain& m);

// Calls back with each line of a file; lines end at LF, CR LF or a lone CR.
// Reads in blocks, so memory stays flat whatever the file's size. False when
// the file cannot be opened.
bool forEachLine(const std::string& path, const std::function<void(std::string_view)>& line);

} // namespace bp
