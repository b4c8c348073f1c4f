#pragma once

#include "core/options/options.h"
#include "core/options/scene_layout.h"

#include <array>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace bp {

// The render settings window's file types, in list order; a scene stores the
// index into this list.
inline constexpr std::array<const char*, 5> kFileTypes = {"C - Compressed Targa", "N - New PNG",
                                                          "P - Unix PPM", "S - Windows BMP",
                                                          "T - Uncompressed Targa"};

// A complete scene file has nine lines of 185 fields: a required part of
// 165, then sections A (colour, 2), B (switches and look-at, 8) and C
// (render settings, 10), which older files may leave out. A tenth line,
// section D (a transparent background, 1), is written only when ticked.
inline constexpr int kSceneFields = 185;

enum class SceneEnd {
    Whole,   // every field, or a file that stops where a section would begin
    Ended,   // the file ended where fields were due, or a field was too long
    Refused, // a value no control takes: a check state other than 0, 1 and 2,
             // a file type outside the list
};

// What a scene file holds, as read. Reading stops at the first failure; the
// fields before it are in `options` (numbers already in the form a number box
// shows them), the others keep the values of a default `Options`.
struct Scene {
    Options options;
    int fields = 0; // fields read, in file order, before the reading stopped
    // Sections the file stops short of; their defaults are in `options`.
    bool colourDefault = false;
    bool switchesDefault = false; // the look-at fields stay as they are
    bool renderDefault = false;
    SceneEnd end = SceneEnd::Whole;

    bool operator==(const Scene&) const = default;
};

// A scene file's text from an open file. A scene is a few kilobytes; of a
// larger file only the first 64 MB are read, which decide as well as the
// whole would that it is no scene.
std::string sceneFileText(std::istream& in);

// Reads a scene file's text. Fields are separated by "," or a line end and
// may be quoted (a doubled quote inside stands for one); numbers are read
// by the number rule, so junk reads as its leading number.
Scene readScene(std::string_view text);

// A scene's fields in file order as opening it sets them, up to where the
// fields read run out: `opens` at each section after the required part, `set`
// with each field. The light numbers read go into `lights` (without a
// handler), and `set` follows only when all were read. Of a left-out colour
// or switches section only the fields with a `leftOut` are set, holding it;
// left-out render settings are set holding their defaults; the transparent
// background is set whether the file has it or not.
void walkScene(const Scene& scene, LightTable& lights,
               const std::function<void(SceneSection)>& opens,
               const std::function<void(const SceneField&)>& set);

// The scene file of the options: nine CR LF lines, the format every version
// of the program reads.
std::string writeScene(const Options& o);

} // namespace bp
