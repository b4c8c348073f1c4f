#pragma once

#include <string>
#include <vector>

namespace bp {

struct Options;

// A draft: the current switches converted by our converter into `povFile`
// (LGEO left out, so that it needs no include folder), then rendered small.
std::vector<std::string> draftConverterArguments(const Options& options,
                                                 const std::string& modelFile,
                                                 const std::string& povFile);

// POV-Ray's arguments for a draft picture of `width` x `height` pixels, PNG,
// no anti-aliasing, no display window; with -sc, the clock shows the steps up
// to `lastStep`.
std::vector<std::string> draftPovrayArguments(const Options& options, const std::string& povFile,
                                              const std::string& pictureFile, int width, int height,
                                              int lastStep);

} // namespace bp
