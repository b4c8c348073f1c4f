#include "driver/options.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace bp::driver {

const char* const kUsage =
    "usage: brickpov-driver [--echo] [--program-dir DIR] [--config-dir DIR]\n"
    "                       [--povray PATH|none] [--timer-scale F] SCRIPT\n"
    "SCRIPT \"-\" reads the script from standard input; see docs/driver.md.\n";

std::optional<Options> parseOptions(int argc, char** argv, std::string& error) {
    Options options;
    bool haveScript = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = std::string(arg) + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--echo") {
            options.echo = true;
        } else if (arg == "--program-dir") {
            if (!value(v))
                return std::nullopt;
            options.programDir = v;
        } else if (arg == "--config-dir") {
            if (!value(v))
                return std::nullopt;
            options.configDir = v;
        } else if (arg == "--povray") {
            if (!value(v))
                return std::nullopt;
            options.povray = v == "none" ? std::string() : v;
        } else if (arg == "--timer-scale") {
            if (!value(v))
                return std::nullopt;
            double scale = 0;
            auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), scale);
            if (ec != std::errc() || ptr != v.data() + v.size() || !(scale >= 0) ||
                !std::isfinite(scale)) {
                error = "--timer-scale takes a number of 0 or more: " + v;
                return std::nullopt;
            }
            options.timerScale = scale;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "unknown option " + std::string(arg);
            return std::nullopt;
        } else if (!haveScript) {
            options.script = arg;
            haveScript = true;
        } else {
            error = "only one script can be given";
            return std::nullopt;
        }
    }
    if (!haveScript) {
        error = "no script given";
        return std::nullopt;
    }
    return options;
}

} // namespace bp::driver
