#pragma once

#include <optional>
#include <string>

namespace bp {

class BrickpovMain;
class FileSystem;

// Brickpov's own converter, run in place of L3P where the user has none.
inline constexpr const char* kOurConverter = "brickpov-convert";
// Our converter's exit status when it wrote the scene but some files were
// missing: a picture with a hole beats no picture, so it still renders.
inline constexpr int kOurConverterWarned = 3;

bool usesOurConverter(const BrickpovMain& m);
// The converter in use as messages name it: "Brickpov's converter" or "L3P".
std::string converterName(const BrickpovMain& m);

// The L3P program file: the L3P folder and the program's name as stored on disk.
std::string l3pProgram(BrickpovMain& m);
std::string l3pProgram(FileSystem& files, const std::string& folder, const std::string& name);

// The folder of our converter: beside the program when installed, else in
// the build tree (src/converter beside src/gui or src/driver).
std::optional<std::string> ourConverterFolder(FileSystem& files);

// Makes our converter the L3P in use, and with `remember` that of later
// sessions too; false when it is not there. Start-up does not remember, so
// that an L3P of the user's that is away for a while is used again later.
bool useOurConverter(BrickpovMain& m, bool remember);

// A folder is an LDraw library when it holds the library's "parts" and "p"
// folders, in any letter case.
bool isLDrawLibrary(FileSystem& files, const std::string& folder);

// The sample of the LDraw library installed with Brickpov
// (bin/../share/brickpov/ldraw), when it is there.
std::optional<std::string> sampleLibraryFolder(FileSystem& files);

void wireToolChoices(BrickpovMain& m);

} // namespace bp
