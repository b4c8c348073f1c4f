#pragma once

#include "converter/model.h"

#include <string>

namespace bp::conv {

// The declarations of a print's texture layer, named `id`: its image as an
// image map, projected as the texmap says; transparent outside the image and
// where the image is, so that the part's own colour shows beneath.
std::string printLayer(const TexMap& texmap, const std::string& id);

// A file name as a POV-Ray string.
std::string povString(const std::string& text);

} // namespace bp::conv
