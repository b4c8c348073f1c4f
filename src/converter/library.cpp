#include "converter/library.h"

#include "converter/text.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace bp::conv {

namespace fs = std::filesystem;

namespace {

std::string withSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

bool isFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

std::string trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(b, e - b + 1));
}

std::string unquoted(std::string s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

// The settings store escapes "\" as "\\" and bytes as "\xHH".
std::string unescapeSetting(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x' &&
                   std::isxdigit(static_cast<unsigned char>(s[i + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(s[i + 3]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace

std::string lowerName(std::string name) {
    for (char& c : name) {
        if (c == '\\')
            c = '/';
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

std::string Environment::get(const std::string& name) const {
    const auto it = vars.find(name);
    return it == vars.end() ? std::string() : it->second;
}

std::string configFolder(const Environment& env) {
    const std::string xdg = env.get("XDG_CONFIG_HOME");
    if (!xdg.empty() && xdg[0] == '/')
        return withSlash(xdg);
    const std::string home = env.get("HOME");
    return withSlash(home.empty() ? "/tmp" : home) + ".config/";
}

std::optional<std::string> iniValue(const std::string& path, const std::string& section,
                                    const std::string& key) {
    std::ifstream in(path);
    if (!in)
        return std::nullopt;
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        const std::string t = trimmed(line);
        if (t.empty() || t[0] == ';' || t[0] == '#')
            continue;
        if (t.front() == '[') {
            inSection = t.back() == ']' &&
                        lowerName(trimmed(t.substr(1, t.size() - 2))) == lowerName(section);
            continue;
        }
        const auto eq = t.find('=');
        if (inSection && eq != std::string::npos &&
            lowerName(trimmed(t.substr(0, eq))) == lowerName(key))
            return unquoted(trimmed(t.substr(eq + 1)));
    }
    return std::nullopt;
}

namespace {

std::optional<std::string> ldrawIniValue(const Environment& env, const std::string& key) {
    FolderIndex index;
    const auto ini = index.find(configFolder(env), "ldraw.ini");
    if (!ini)
        return std::nullopt;
    return iniValue(*ini, "LDraw", key);
}

} // namespace

std::string locateLDrawLibrary(const Environment& env) {
    if (const std::string dir = env.get("LDRAWDIR"); isFolder(dir))
        return withSlash(dir);
    if (const auto dir = ldrawIniValue(env, "BaseDirectory"); dir && isFolder(*dir))
        return withSlash(*dir);
    return {};
}

std::string locateLgeo(const Environment& env, std::string* why) {
    if (const std::string dir = env.get("LGEODIR"); isFolder(dir))
        return withSlash(dir);
    if (const auto dir = ldrawIniValue(env, "LgeoDirectory"); dir && isFolder(*dir))
        return withSlash(*dir);
    const auto stored =
        iniValue(configFolder(env) + "Brickpov/settings.ini", "Brickpov/Paths", "LGEOPath");
    if (stored && isFolder(unescapeSetting(*stored)))
        return withSlash(unescapeSetting(*stored));
    if (stored && why && !unquoted(*stored).empty() && unquoted(*stored) != "Not Installed")
        *why = "Brickpov's LGEO folder \"" + messageText(unescapeSetting(*stored), 1000) +
               "\" (LGEOPath in " + configFolder(env) + "Brickpov/settings.ini) is not a folder";
    return {};
}

const std::unordered_map<std::string, std::string>&
FolderIndex::listing(const std::string& folder) {
    auto [it, added] = m_listings.try_emplace(folder);
    if (!added)
        return it->second;
    std::error_code ec;
    for (fs::directory_iterator d(folder, ec), end; !ec && d != end; d.increment(ec)) {
        const std::string name = d->path().filename().string();
        auto [entry, fresh] = it->second.try_emplace(lowerName(name), name);
        // Two names differing only in case: the lower-case one (the library's
        // own spelling) wins, else the first in byte order.
        if (!fresh && name != entry->second &&
            (name == entry->first || (entry->second != entry->first && name < entry->second)))
            entry->second = name;
    }
    return it->second;
}

std::optional<std::string> FolderIndex::find(const std::string& root, const std::string& relative) {
    std::string path = withSlash(root);
    const std::string wanted = lowerName(relative);
    std::size_t start = 0;
    while (start <= wanted.size()) {
        auto slash = wanted.find('/', start);
        if (slash == std::string::npos)
            slash = wanted.size();
        const std::string part = wanted.substr(start, slash - start);
        start = slash + 1;
        if (part.empty() || part == ".")
            continue;
        const auto& names = listing(path);
        const auto hit = names.find(part);
        if (hit == names.end())
            return std::nullopt;
        path += hit->second;
        if (slash < wanted.size())
            path += '/';
    }
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return std::nullopt;
    return path;
}

Library::Library(std::string root, std::string modelFolder) : m_root(std::move(root)) {
    if (!modelFolder.empty())
        m_search.emplace_back(withSlash(modelFolder), Origin::ModelFolder);
    if (m_root.empty())
        return;
    const std::pair<const char*, Origin> folders[] = {{"p", Origin::Primitives},
                                                      {"parts", Origin::Parts},
                                                      {"models", Origin::Models},
                                                      {"unofficial/p", Origin::Primitives},
                                                      {"unofficial/parts", Origin::Parts}};
    for (const auto& [name, origin] : folders) {
        // Resolve each folder's real spelling once.
        std::string path = m_root;
        bool ok = true;
        std::string rest = name;
        while (ok && !rest.empty()) {
            const auto slash = rest.find('/');
            const std::string part = rest.substr(0, slash);
            rest = slash == std::string::npos ? "" : rest.substr(slash + 1);
            bool hit = false;
            std::error_code ec;
            for (fs::directory_iterator d(path, ec), end; !ec && d != end; d.increment(ec)) {
                if (lowerName(d->path().filename().string()) == part && d->is_directory(ec)) {
                    path += d->path().filename().string() + "/";
                    hit = true;
                    break;
                }
            }
            ok = hit;
        }
        if (ok)
            m_search.emplace_back(path, origin);
    }
}

std::optional<Found> Library::find(const std::string& name) {
    const std::string wanted = lowerName(name);
    for (const auto& [folder, origin] : m_search) {
        if (auto path = m_index.find(folder, wanted)) {
            Found f{*path, origin, wanted.find('/') != std::string::npos};
            return f;
        }
    }
    return std::nullopt;
}

std::optional<std::string> Library::findInRoot(const std::string& name) {
    if (m_root.empty())
        return std::nullopt;
    return m_index.find(m_root, name);
}

} // namespace bp::conv
