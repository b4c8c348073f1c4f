// Writes a large settings store over and over, switching between two
// contents, until it is killed; or checks that what it left holds one of the
// two contents whole. crash_test.sh kills it at random moments. Scene files
// are replaced by the same atomic write.
//
//   crash_writer write settings PATH   prints "ready" after the first write
//   crash_writer check settings PATH   prints A or B, or fails
//
// A peer is a second instance writing the same settings store meanwhile, a new
// key each time, and printing the number of each key once it is written:
//
//   crash_writer write peer PATH             until killed
//   crash_writer check peer PATH N           every key up to N is there

#include "platform/desktop/desktop_platform.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace bp::desktop;

constexpr int kParts = 16;                   // settings: 16 entries of 128 KB
constexpr std::size_t kPartSize = 128 << 10; // below the store's line limit
constexpr std::size_t kMarkSize = 256 << 10;
constexpr const char* kApp = "Brickpov";

std::string partKey(int i) {
    return "Part" + std::to_string(i);
}

// Text like the store's own entries, different for every part.
std::string partValue(int i) {
    const std::string unit = std::to_string(i) + ",Front view,0,0,-300,0,0,0;";
    std::string value;
    while (value.size() + unit.size() <= kPartSize)
        value += unit;
    return value;
}

// The entry that tells A from B; the last one in the file, so that a cut
// anywhere removes or shortens it.
std::string mark(char letter) {
    return std::string(kMarkSize, letter);
}

int writeSettings(const std::string& path) {
    FileSettingsStore store(path);
    for (int i = 0; i < kParts; ++i)
        store.save(kApp, "Parts", partKey(i), partValue(i)); // unchanged: not written
    char letter = store.get(kApp, "Mark", "Letter", "B") == mark('A') ? 'B' : 'A';
    store.save(kApp, "Mark", "Letter", mark(letter));
    std::puts("ready");
    std::fflush(stdout);
    for (;;) {
        letter = letter == 'A' ? 'B' : 'A';
        store.save(kApp, "Mark", "Letter", mark(letter));
    }
}

int writePeer(const std::string& path) {
    FileSettingsStore store(path);
    for (long i = 0;; ++i) {
        store.save(kApp, "Peer", "Key " + std::to_string(i), std::to_string(i));
        const std::string problem = store.takeProblem();
        if (!problem.empty()) {
            std::fprintf(stderr, "%s\n", problem.c_str());
            return 1;
        }
        std::printf("%ld\n", i);
        std::fflush(stdout);
    }
}

int checkPeer(const std::string& path, long last) {
    FileSettingsStore store(path);
    for (long i = 0; i <= last; ++i) {
        if (store.get(kApp, "Peer", "Key " + std::to_string(i), "") != std::to_string(i)) {
            std::fprintf(stderr, "the peer's key %ld is lost\n", i);
            return 1;
        }
    }
    return 0;
}

int checkSettings(const std::string& path) {
    FileSettingsStore store(path);
    for (int i = 0; i < kParts; ++i) {
        if (store.get(kApp, "Parts", partKey(i), "") != partValue(i)) {
            std::fprintf(stderr, "%s is missing or cut\n", partKey(i).c_str());
            return 1;
        }
    }
    const std::string letter = store.get(kApp, "Mark", "Letter", "");
    for (char c : {'A', 'B'}) {
        if (letter == mark(c)) {
            std::printf("%c\n", c);
            return 0;
        }
    }
    std::fprintf(stderr, "the mark is neither A nor B (%zu bytes)\n", letter.size());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: crash_writer write|check settings|peer PATH [N]\n");
        return 2;
    }
    const std::string mode = argv[1], kind = argv[2], path = argv[3];
    if (mode == "write" && kind == "peer")
        return writePeer(path);
    if (mode == "check" && kind == "peer" && argc == 5)
        return checkPeer(path, std::atol(argv[4]));
    if (mode == "write" && kind == "settings")
        return writeSettings(path);
    if (mode == "check" && kind == "settings")
        return checkSettings(path);
    std::fprintf(stderr, "crash_writer: unknown mode %s %s\n", argv[1], argv[2]);
    return 2;
}
