#pragma once

#include "converter/colours.h"
#include "converter/geometry.h"
#include "converter/library.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace bp::conv {

enum class FileKind { Model, Part, Subpart, Primitive };

struct LDrawFile;

// How a line takes part in a "!TEXMAP" block: textured (drawn by everyone),
// drawn only when the image is there ("0 !:" lines), or drawn only when it
// is not (after FALLBACK).
enum class TexRole : unsigned char { Textured, Only, Fallback };

enum class Projection { Planar, Cylindrical, Spherical };

// One "0 !TEXMAP START|NEXT" projection, in the coordinates of its file.
struct TexMap {
    Projection projection = Projection::Planar;
    std::array<Vec3, 3> points;
    double angleA = 0, angleB = 0; // degrees: cylinder's sweep; sphere's two sweeps
    std::string image;             // as named, lower case
    std::string imagePath;         // where it was found; empty when missing
    int line = 0;
};

// A type 1 line.
struct SubfileRef {
    int colour = kMainColour;
    Placement place;
    std::string name;
    int line = 0;
    int step = 0;
    bool nonPov = false;             // inside "0 L3P IFNOTPOV" or "ELSEPOV"
    bool isLight = false;            // a light.dat marker
    const LDrawFile* file = nullptr; // nullptr when it could not be found
    int texmap = -1;                 // index into the file's texmaps
    TexRole texRole = TexRole::Textured;
};

// A triangle, or half of a quad.
struct Face {
    int colour = kMainColour;
    std::array<Vec3, 3> v;
    int step = 0;
    bool nonPov = false;
    int texmap = -1; // index into the file's texmaps
    TexRole texRole = TexRole::Textured;
};

// A type 2 (edge) or type 5 (optional) line: where the surface has a sharp
// edge, or where it is smooth. They draw nothing, but tell the normals.
struct EdgeLine {
    std::array<Vec3, 2> v;
    bool optional = false;
    bool nonPov = false;
};

// Lines between "0 L3P IFPOV" and "0 L3P ELSEPOV" / "ENDPOV", written into
// the scene as they are, unless they read or write files (see fileAccessIn).
struct PovCode {
    std::string text;
    int step = 0;
    int line = 0; // of its "0 L3P IFPOV"
};

// A line left out, and why.
struct LineProblem {
    int line = 0;
    std::string why;
};

struct LDrawFile {
    std::string name;  // as referred to: lower case, "/" between folders
    std::string path;  // where it was read
    int firstLine = 1; // of its text in `path` (a file inside a multi-part document)
    std::string title;
    FileKind kind = FileKind::Model;
    std::vector<SubfileRef> refs;
    std::vector<Face> faces;
    std::vector<EdgeLine> lines;
    std::vector<PovCode> povCode;
    std::vector<LineProblem> problems; // the first few malformed lines
    std::size_t malformedLines = 0;    // how many there were in all
    int unendedPovBlock = 0;           // the line of an "IFPOV" with no "ENDPOV"
    std::vector<TexMap> texmaps;
};

// Whether a line of a texmap block is drawn, given whether its image is there.
bool drawn(const LDrawFile& file, int texmap, TexRole role);

// Parses the text of one LDraw file into `file`. Colour definitions go into
// `colours`; the kind is taken from the "!LDRAW_ORG" header when present.
// Malformed lines of types 1 to 5 (a word missing, a number that is not
// finite or out of range), and lines longer than kLongestLine, are left out
// and listed in `file.problems`, numbered from `file.firstLine`.
void parseLDraw(std::string_view text, LDrawFile& file, ColourTable& colours);

// What a file's problems say, one message a line, its path and line numbers
// named; an unterminated "0 L3P IFPOV" block is among them.
std::vector<std::string> problemMessages(const LDrawFile& file);

// One file of a multi-part document: its name (lower case), its text with
// "\n" line ends, and the number of its first line in the document.
struct MpdFile {
    std::string name;
    std::string text;
    int firstLine = 1;
};

// The files of a multi-part document in order. A file without "0 FILE" lines
// gives one unnamed entry holding all of it.
std::vector<MpdFile> splitMpd(std::string_view text);

// Splits a quad into two triangles, reordering a bow-tie quad; degenerate
// triangles are left out.
void addQuad(std::vector<Face>& faces, const Face& proto, const std::array<Vec3, 4>& q);

// Reads a model and everything it refers to, once per distinct name.
class ModelLoader {
  public:
    ModelLoader(Library& library, ColourTable& colours, std::vector<std::string>& warnings);
    // The main model, or nullptr (with `error` set) when it cannot be read.
    const LDrawFile* load(const std::string& path, std::string& error);
    std::size_t fileCount() const { return m_files.size(); }
    // Images embedded in the model ("0 !DATA") are written as files named
    // `prefix` followed by their own name, for POV-Ray to read.
    void setImagePrefix(std::string prefix) { m_imagePrefix = std::move(prefix); }
    bool has(const std::string& name) const { return m_files.contains(name); }
    // A library file the model itself may not use (a stud logo), or nullptr.
    const LDrawFile* loadLibraryFile(const std::string& name);
    std::size_t missingReferences() const { return m_missingRefs; }

  private:
    LDrawFile* parseInto(std::string name, std::string path, std::string_view text, Origin origin,
                         bool inSubfolder, int firstLine);
    void resolveAll();
    void findImages(LDrawFile& file);
    std::string embeddedImage(const std::string& name);
    void breakCycles(const LDrawFile* main);

    Library& m_library;
    ColourTable& m_colours;
    std::vector<std::string>& m_warnings;
    std::unordered_map<std::string, std::unique_ptr<LDrawFile>> m_files;
    std::unordered_map<std::string, MpdFile> m_embedded;
    std::unordered_set<std::string> m_missing;
    std::unordered_set<std::string> m_told; // files whose problems were told
    std::vector<LDrawFile*> m_pending;
    std::size_t m_missingRefs = 0;
    std::string m_imagePrefix;
    std::unordered_map<std::string, std::string> m_images; // name to written path
};

// The bytes of base64 text (blanks and line ends between are skipped), or
// nullopt when it holds anything else.
std::optional<std::string> decodeBase64(std::string_view text);

bool readWholeFile(const std::string& path, std::string& text);

} // namespace bp::conv
