// Times the settings store on a store file of many entries: the first look-up
// (which reads the file), further look-ups, and a change written through,
// against reading the same file whole in the same run. Run by
// settings_store.sh, or alone on a copy of any store (the file is changed).
//
//   bench_settings_store FILE [LOOKUPS]

#include "platform/desktop/desktop_platform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: bench_settings_store FILE [LOOKUPS]\n");
        return 2;
    }
    const std::string path = argv[1];
    const int lookups = argc == 3 ? std::atoi(argv[2]) : 100;
    if (lookups < 1) {
        std::fprintf(stderr, "bench_settings_store: LOOKUPS must be positive\n");
        return 2;
    }

    auto start = Clock::now();
    std::size_t bytes = 0;
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        bytes = content.str().size();
    }
    const double readWhole = msSince(start);

    bp::desktop::FileSettingsStore store(path);
    start = Clock::now();
    const std::string first = store.get("Brickpov", "Paths", "L3PPath", "");
    const double firstLookup = msSince(start);

    start = Clock::now();
    std::size_t found = 0;
    for (int i = 0; i < lookups; ++i)
        found +=
            !store.get("Brickpov", "Cameras", "UserCamera " + std::to_string(i % 30), "").empty();
    const double perLookup = msSince(start) / lookups;

    start = Clock::now();
    store.save("Brickpov", "Paths", "POVPath", "/bench/" + std::to_string(std::rand()) + "/");
    const double save = msSince(start);

    std::printf("bytes=%zu read_whole_ms=%.2f first_lookup_ms=%.2f lookup_ms=%.4f save_ms=%.2f "
                "found=%zu problem=\"%s\"\n",
                bytes, readWhole, firstLookup, perLookup, save, found, store.takeProblem().c_str());
    return first.empty() ? 1 : 0;
}
