#include "core/scene/scene_file.h"

#include "core/app/app.h"
#include "core/app/brickpov_main.h"
#include "core/app/command_line.h"
#include "core/app/settings.h"
#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/common/numbers.h"
#include "core/l3p/render_options.h"
#include "core/lights/light_table.h"
#include "core/platform/platform.h"
#include "core/scene/recent_scenes.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>

namespace bp {

namespace {

constexpr const char* kSceneFilter = "Brickpov .BPS, (*.bps)|*.bps";

// A quote inside a quoted field is doubled, so that texts such as additional
// POV-Ray switches with quoted paths come back whole.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        out.push_back(c);
        if (c == '"')
            out.push_back('"');
    }
    return out + "\"";
}

// Numbers and typed texts are written without quotes, so a "," inside one
// would split the field: every number is written with ".". A text that the
// reader would take for a quoted field, or that would break the line, is
// quoted instead.
std::string dotText(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == ',')
            c = '.';
    const auto first = out.find_first_not_of(" \t");
    if ((first != std::string::npos && out[first] == '"') ||
        out.find_first_of("\r\n") != std::string::npos)
        return quoted(out);
    return out;
}

std::string check(const Control& c) {
    return std::to_string(c.value());
}

class FieldReader {
  public:
    explicit FieldReader(const std::string& path) : m_in(path, std::ios::binary) {}
    bool opened() const { return m_in.is_open(); }

    // Whether only blanks and line ends remain.
    bool atEnd() {
        while (true) {
            const int c = m_in.peek();
            if (c == EOF)
                return true;
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                return false;
            if (c == '\r' || c == '\n') {
                // Blank lines count as the end only if nothing follows them.
                std::streampos here = m_in.tellg();
                skipBlankRun();
                const bool end = m_in.peek() == EOF;
                m_in.clear();
                m_in.seekg(here);
                return end;
            }
            m_in.get();
        }
    }

    std::optional<std::string> next() {
        while (m_in.peek() == ' ' || m_in.peek() == '\t')
            m_in.get();
        if (m_in.peek() == EOF)
            return std::nullopt;
        std::string text;
        if (m_in.peek() == '"') {
            m_in.get();
            while (true) {
                const int c = m_in.get();
                if (c == EOF)
                    return std::nullopt;
                if (c == '"') {
                    if (m_in.peek() == '"') {
                        m_in.get();
                        text.push_back('"');
                        continue;
                    }
                    break;
                }
                text.push_back(static_cast<char>(c));
                if (text.size() > kMaxField)
                    return std::nullopt;
            }
            // Anything between the closing quote and the separator is dropped.
            while (m_in.peek() != EOF && m_in.peek() != ',' && m_in.peek() != '\r' &&
                   m_in.peek() != '\n')
                m_in.get();
        } else {
            while (m_in.peek() != EOF && m_in.peek() != ',' && m_in.peek() != '\r' &&
                   m_in.peek() != '\n') {
                text.push_back(static_cast<char>(m_in.get()));
                if (text.size() > kMaxField)
                    return std::nullopt;
            }
            while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
                text.pop_back();
        }
        const int sep = m_in.get();
        if (sep == '\r' && m_in.peek() == '\n')
            m_in.get();
        return text;
    }

  private:
    // No field of a scene is anywhere near this long; a longer one is junk.
    static constexpr std::size_t kMaxField = 64 * 1024;

    void skipBlankRun() {
        while (true) {
            const int c = m_in.peek();
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                return;
            m_in.get();
        }
    }

    std::ifstream m_in;
};

struct LoadFailed {}; // ends the load silently
struct FileEnded {};  // the file ended where fields were still due

class SceneLoader {
  public:
    SceneLoader(BrickpovMain& m, FieldReader& in) : m(m), in(in) {}

    void run() {
        requiredPart();
        auto& r = m.app().form<BrickpovRenderOptions>();
        if (in.atEnd()) {
            m.Chk_C.setValue(0);
            m.Cbo_C.setListIndex(0);
        } else {
            checkBox(m.Chk_C);
            m.Cbo_C.setText(text());
        }
        if (in.atEnd()) {
            for (Control* c : {&m.Chk_SC, &m.Chk_ENP, &m.Chk_LGEO, &m.Chk_Render})
                c->setValue(0);
        } else {
            for (Control* c : {&m.Chk_SC, &m.Chk_ENP, &m.Chk_LGEO, &m.Chk_Render})
                checkBox(*c);
            checkBox(m.Chk_CLA);
            for (Control* c : m.Txt_CameraLookAt)
                numberBox(*c);
        }
        if (in.atEnd()) {
            r.Txt_OutputFile.setText("");
            r.Cbo_FileType.setListIndex(3);
            r.Txt_Width.setText("640");
            r.Txt_Height.setText("480");
            r.Chk_AntiAlias.setValue(1);
            r.Txt_InitialFrame.setText("1");
            r.Txt_FinalFrame.setText("");
            r.Txt_InitialClock.setText("1");
            r.Txt_FinalClock.setText("");
            r.Txt_Additional.setText("");
        } else {
            r.Txt_OutputFile.setText(text());
            const double index = roundHalfEven(number());
            if (index < -1 || index >= r.Cbo_FileType.listCount())
                throw LoadFailed{};
            r.Cbo_FileType.setListIndex(static_cast<int>(index));
            numberBox(r.Txt_Width);
            numberBox(r.Txt_Height);
            checkBox(r.Chk_AntiAlias);
            for (Control* c :
                 {&r.Txt_InitialFrame, &r.Txt_FinalFrame, &r.Txt_InitialClock, &r.Txt_FinalClock})
                numberBox(*c);
            r.Txt_Additional.setText(text());
        }
    }

  private:
    void requiredPart() {
        checkBox(m.Chk_CG);
        checkBox(m.Chk_CC);
        for (Control* c : m.Txt_CameraValue)
            numberBox(*c);
        checkBox(m.Chk_CA);
        numberBox(m.Txt_CA);
        for (Control* c : {&m.Chk_LD, &m.Chk_L, &m.Chk_LG, &m.Chk_LC})
            checkBox(*c);
        for (int l = 1; l <= 20; ++l)
            for (int v = 1; v <= 7; ++v)
                m.lights.at(l, v) = toSingle(number());
        if (m.Chk_LG.value() == 1 || m.Chk_LC.value() == 1)
            showCurrentLight(m);
        checkBox(m.Chk_B);
        for (Control* c : m.Txt_BColor)
            numberBox(*c);
        checkBox(m.Chk_F);
        listText(m.Cbo_FType, text());
        m.Txt_FY.setText(text());
        checkBox(m.Chk_BU);
        checkBox(m.Chk_SW);
        numberBox(m.Txt_SW);
        checkBox(m.Chk_Q);
        listText(m.Cbo_Q, numberText(toSingle(number())));
        checkBox(m.Chk_O);
        checkBox(m.Chk_P);
    }

    std::string text() {
        auto field = in.next();
        if (!field)
            throw FileEnded{};
        return *field;
    }

    // Read by the number rule, so that whatever was typed into a number box
    // and saved reads back (as its leading number) with the rest of the file.
    double number() { return leadingNumber(text()); }

    void checkBox(Control& c) {
        const double v = roundHalfEven(number());
        if (v != 0 && v != 1 && v != 2)
            throw LoadFailed{};
        c.setValue(static_cast<int>(v));
    }

    void numberBox(Control& c) { c.setText(numberText(toSingle(number()))); }

    // A drop-down list can only show one of its items.
    void listText(Control& list, const std::string& value) {
        list.setText(value);
        if (list.text() != value)
            throw LoadFailed{};
    }

    BrickpovMain& m;
    FieldReader& in;
};

} // namespace

std::string sceneText(BrickpovMain& m) {
    auto& r = m.app().form<BrickpovRenderOptions>();
    std::string s;
    auto line = [&s](std::initializer_list<std::string> fields) {
        bool first = true;
        for (const auto& f : fields) {
            if (!first)
                s += ",";
            s += f;
            first = false;
        }
        s += "\r\n";
    };
    const auto& cv = m.Txt_CameraValue;
    line({check(m.Chk_CG), check(m.Chk_CC), dotText(cv[0].text()), dotText(cv[1].text()),
          dotText(cv[2].text()), check(m.Chk_CA), dotText(m.Txt_CA.text())});
    line({check(m.Chk_LD), check(m.Chk_L), check(m.Chk_LG), check(m.Chk_LC)});
    for (int l = 1; l <= 20; ++l)
        for (int v = 1; v <= 7; ++v)
            s += numberText(m.lights.at(l, v)) + ",";
    line({check(m.Chk_B), dotText(m.Txt_BColor[0].text()), dotText(m.Txt_BColor[1].text()),
          dotText(m.Txt_BColor[2].text())});
    line({check(m.Chk_F), dotText(m.Cbo_FType.text()), dotText(m.Txt_FY.text())});
    line({check(m.Chk_BU), check(m.Chk_SW), dotText(m.Txt_SW.text()), check(m.Chk_Q),
          dotText(m.Cbo_Q.text()), check(m.Chk_O), check(m.Chk_P), check(m.Chk_C),
          quoted(m.Cbo_C.text())});
    line({check(m.Chk_SC), check(m.Chk_ENP), check(m.Chk_LGEO), check(m.Chk_Render)});
    const auto& la = m.Txt_CameraLookAt;
    line({check(m.Chk_CLA), dotText(la[0].text()), dotText(la[1].text()), dotText(la[2].text())});
    line({quoted(r.Txt_OutputFile.text())});
    line({std::to_string(r.Cbo_FileType.listIndex()), dotText(r.Txt_Width.text()),
          dotText(r.Txt_Height.text()), check(r.Chk_AntiAlias), dotText(r.Txt_InitialFrame.text()),
          dotText(r.Txt_FinalFrame.text()), dotText(r.Txt_InitialClock.text()),
          dotText(r.Txt_FinalClock.text()), quoted(r.Txt_Additional.text())});
    return s;
}

bool SaveScene(BrickpovMain& m, const std::string& path) {
    std::string why;
    const bool written = m.platform().files.replaceFile(path, sceneText(m), &why);
    if (!written)
        showMessage(m.platform(), "Scene Not Saved",
                    "The scene could not be saved as " + path + " (" + why + ").",
                    MsgIcon::Critical);
    RefreshRecentScenes(m);
    return written;
}

bool LoadScene(BrickpovMain& m, const std::string& path) {
    // A folder is no scene file either; a hidden file is one.
    if (!m.platform().files.isOrdinaryFile(path)) {
        showMessage(m.platform(), ".BPS File not found",
                    "The .BPS file you have specified does not exist.", MsgIcon::Critical);
        return false;
    }
    FieldReader in(path);
    if (!in.opened()) {
        const int error = errno;
        showMessage(m.platform(), ".BPS File not read",
                    "The .BPS file " + path + " could not be read (" +
                        (error ? std::strerror(error) : "it cannot be opened") + ").",
                    MsgIcon::Critical);
        return false;
    }
    bool whole = false;
    try {
        SceneLoader(m, in).run();
        whole = true;
    } catch (const FileEnded&) {
        showMessage(m.platform(), "File Error",
                    "The file you have chosen is either corrupt or not a valid .BPS file. "
                    "Brickpov may need to be restarted.",
                    MsgIcon::Critical);
    } catch (...) {
    }
    // The light numbers go into the table without a handler, so a scene that
    // changes only lights other than the shown one, or ends early, would
    // leave the command line behind the table.
    BuildCommandLine(m);
    RefreshRecentScenes(m);
    return whole;
}

std::optional<std::string> defaultScenePath(BrickpovMain& m) {
    FileSystem& files = m.platform().files;
    // Beside the program, where a user may put one of their own, else where
    // an installed program keeps its data (bin/../share/brickpov).
    const std::string programFolder = AddBackslash(files.programFolder());
    for (std::string folder : {programFolder, programFolder + "../share/brickpov/"}) {
        if (!FileExistsIn(files, folder, "Default.BPS"))
            continue;
        // The name is found without regard to case; open it as it is stored.
        // A folder or a pipe of that name is no scene the user asked for.
        const auto name = files.findNoCase(AddBackslash(folder), "Default.BPS");
        const std::string path = AddBackslash(folder) + name.value_or("Default.BPS");
        if (files.isOrdinaryFile(path))
            return path;
    }
    return std::nullopt;
}

void LoadDefaultScene(BrickpovMain& m) {
    if (const auto path = defaultScenePath(m))
        LoadScene(m, *path);
    m.DefaultSceneLoaded = true;
}

namespace {

// The scene dialogs open in the folder of the scene opened or saved last.
std::string sceneFolder(BrickpovMain& m) {
    const std::string stored = m.platform().settings.get(kAppName, "Paths", "SceneFolder", "");
    return !stored.empty() && m.platform().files.folderExists(stored) ? stored : m.L3PPath;
}

void rememberSceneFolder(BrickpovMain& m, const std::string& path) {
    m.platform().settings.save(kAppName, "Paths", "SceneFolder", folderPart(path));
}

// A name typed without an extension gets the scene files' own; a file of
// that name is replaced only when the user agrees.
std::optional<std::string> withSceneExtension(BrickpovMain& m, const std::string& path) {
    if (fileNamePart(path).find('.') != std::string::npos)
        return path;
    const std::string named = path + ".bps";
    if (m.platform().files.exists(named) &&
        !askYesNo(m.platform(), "Save Current Scene",
                  fileNamePart(named) + " already exists.\r\nDo you want to replace it?",
                  MsgIcon::Exclamation))
        return std::nullopt;
    return named;
}

} // namespace

void Mnu_FileOpen_Click(BrickpovMain& m) {
    FileDialogRequest request;
    request.title = "Open Scene";
    request.initialDir = sceneFolder(m);
    request.filter = kSceneFilter;
    request.fileMustExist = true;
    // Only a scene that was read is offered again.
    if (const auto path = m.platform().dialogs.fileDialog(request); path && LoadScene(m, *path)) {
        noteRecentScene(m, *path);
        rememberSceneFolder(m, *path);
        RefreshRecentScenes(m);
    }
}

void Mnu_FileSave_Click(BrickpovMain& m) {
    FileDialogRequest request;
    request.save = true;
    request.title = "Save Current Scene";
    request.initialDir = sceneFolder(m);
    request.fileName = "New Scene.BPS";
    request.filter = kSceneFilter;
    request.confirmOverwrite = true;
    const auto chosen = m.platform().dialogs.fileDialog(request);
    const auto path = chosen ? withSceneExtension(m, *chosen) : std::nullopt;
    // Only a scene that was written is offered again.
    if (path && SaveScene(m, *path)) {
        noteRecentScene(m, *path);
        rememberSceneFolder(m, *path);
        RefreshRecentScenes(m);
    }
}

void wireSceneFile(BrickpovMain& m) {
    m.Mnu_FileOpen.onClick = [&m] { Mnu_FileOpen_Click(m); };
    m.Mnu_FileSave.onClick = [&m] { Mnu_FileSave_Click(m); };
}

} // namespace bp
