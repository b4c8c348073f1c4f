#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bp {

// What a console shows of a program's output, fed with the raw bytes as they
// arrive: "\n" or "\r\n" ends a line, a lone "\r" goes back to the start of
// the line, so that a progress counter overwrites itself as it does in a
// terminal. Only the last lines are kept.
class ConsoleText {
  public:
    explicit ConsoleText(std::size_t keptLines = 2000) : m_keptLines(keptLines) {}

    // Appends the bytes; returns the pieces of output that were completed by
    // a "\r" or "\n" in them, in order, for readers of progress lines.
    std::vector<std::string> append(std::string_view bytes);
    // Ends the open line; the next output starts a new one.
    void endLine();
    void clear();

    // The kept lines, each ended by "\n", and the open one.
    std::string text() const;
    // The last count lines that hold more than blanks, oldest first.
    std::vector<std::string> lastLines(std::size_t count) const;

  private:
    void finishLine();

    std::vector<std::string> m_lines; // ended lines
    std::string m_line;               // the open line
    std::size_t m_column = 0;
    std::string m_piece; // the piece of output since the last "\r" or "\n"
    std::size_t m_keptLines;
};

// How far POV-Ray has got, read from its own report lines.
struct RenderProgress {
    int frame = 1;
    int frames = 1;
    long long done = 0;
    long long total = 0;
    // The whole render in per cent, frames counted as equal parts.
    int percent() const;
};

// Reads one piece of POV-Ray's output ("Rendering frame 2 of 3", "Rendered
// 1024 of 3072 pixels (33%)"); true when it changed the progress.
bool readRenderProgress(RenderProgress& progress, std::string_view piece);

// The picture named by POV-Ray's "Output file..........car.png, 24 bpp PNG"
// line, else empty.
std::optional<std::string> renderedPictureName(std::string_view line);

// The pictures of an animation whose first frame is named first ("car01.png"):
// the same name with the frame numbers that follow, as wide as the first one.
std::vector<std::string> framePictureNames(const std::string& first, int frames);

// A converter's warning line ("Warning: cannot find ..."), without its
// prefix; empty for any other line.
std::string warningOf(std::string_view line);
// Whether a warning says that a file the model asks for is missing.
bool isMissingFile(std::string_view warning);

// Minutes and seconds: "0:07", "12:00"; hours when there are any: "1:02:03".
std::string elapsedText(long long seconds);

} // namespace bp
