// Any text as a stored user view. A record that reads must keep its name as
// the text before the first comma, and writing it and reading it again must
// give the same name and values.

#include "core/camera/view_presets.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string record(reinterpret_cast<const char*>(data), size);
    const auto view = bp::parseUserViewRecord(record);
    if (!view)
        return 0;
    if (view->name != record.substr(0, record.find(',')))
        std::abort();
    if (view->name.find(',') != std::string::npos)
        return 0; // the New Preset dialog refuses such names
    const auto again = bp::parseUserViewRecord(bp::userViewRecord(view->name, view->row));
    if (!again || again->name != view->name) {
        std::fprintf(stderr, "user view record does not read back\n");
        std::abort();
    }
    const auto third = bp::parseUserViewRecord(bp::userViewRecord(again->name, again->row));
    if (!third || third->row != again->row) {
        std::fprintf(stderr, "user view record is not stable once written\n");
        std::abort();
    }
    return 0;
}
