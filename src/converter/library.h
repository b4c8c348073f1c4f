#pragma once

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

namespace bp::conv {

// The few environment values the converter reads; main fills it from the
// process environment, tests fill it by hand.
struct Environment {
    std::map<std::string, std::string> vars; // LDRAWDIR, LGEODIR, XDG_CONFIG_HOME, HOME
    std::string currentFolder;               // with a trailing "/"
    // Writes the scene, streamed by `write`; empty: writeFileAtomically. The
    // program gives its own.
    std::function<bool(const std::string& path, const std::function<void(std::ostream&)>& write,
                       std::string& error)>
        writeFile;
    std::string get(const std::string& name) const;
};

// The folder LDraw.ini and Brickpov's settings live in.
std::string configFolder(const Environment& env);

// LDRAWDIR, else BaseDirectory in LDraw.ini; empty when neither names a folder.
std::string locateLDrawLibrary(const Environment& env);

// LGEODIR, else LgeoDirectory in LDraw.ini, else Brickpov's stored LGEOPath.
// `why`, when given, says what was wrong with a stored LGEO folder.
std::string locateLgeo(const Environment& env, std::string* why = nullptr);

// The value of key in [section] of an ini-style file, names without regard
// to case; nullopt when the file or the key is not there.
std::optional<std::string> iniValue(const std::string& path, const std::string& section,
                                    const std::string& key);

// Finds files by relative names the way LDraw names them: any letter case,
// "\" or "/" between folders.
class FolderIndex {
  public:
    // The real path of `relative` under `root` (which ends in "/"), or nullopt.
    std::optional<std::string> find(const std::string& root, const std::string& relative);

  private:
    const std::unordered_map<std::string, std::string>& listing(const std::string& folder);
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> m_listings;
};

enum class Origin { ModelFolder, Primitives, Parts, Models, Unofficial, Other };

struct Found {
    std::string path;
    Origin origin = Origin::Other;
    bool inSubfolder = false; // e.g. parts/s/ or p/48/
};

// The search path of one conversion: the model's folder, then the library's
// p, parts and models folders, then the unofficial ones.
class Library {
  public:
    Library(std::string root, std::string modelFolder);
    const std::string& root() const { return m_root; }
    std::optional<Found> find(const std::string& name);
    std::optional<std::string> findInRoot(const std::string& name);

  private:
    std::string m_root;
    std::vector<std::pair<std::string, Origin>> m_search;
    FolderIndex m_index;
};

std::string lowerName(std::string name); // lower case, "\" turned into "/"

} // namespace bp::conv
