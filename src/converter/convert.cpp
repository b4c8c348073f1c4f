#include "converter/convert.h"

#include "converter/model.h"
#include "converter/options.h"
#include "converter/pov_writer.h"
#include "converter/scene_plan.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace bp::conv {

namespace fs = std::filesystem;

namespace {

bool isFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string absolute(const std::string& path, const Environment& env) {
    return !path.empty() && path[0] == '/' ? path : env.currentFolder + path;
}

// The model as named on the command line: a path as given (with "\" read as
// "/" if needed, and .dat/.ldr/.mpd tried when it has no extension), else a
// name in the library's folders.
std::optional<std::string> findModel(const std::string& given, const Environment& env,
                                     Library& library) {
    std::vector<std::string> names{given};
    std::string slashed = given;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    if (slashed != given)
        names.push_back(slashed);
    if (fs::path(slashed).extension().empty())
        for (const char* ext : {".dat", ".ldr", ".mpd"})
            names.push_back(slashed + ext);
    for (const std::string& n : names)
        if (isFile(absolute(n, env)))
            return absolute(n, env);
    const fs::path p(slashed);
    FolderIndex index;
    for (const std::string& n : names) {
        const fs::path np(n);
        const std::string folder = np.has_parent_path()
                                       ? absolute(np.parent_path().string(), env) + "/"
                                       : env.currentFolder;
        if (auto hit = index.find(folder, np.filename().string()))
            return hit;
        if (!p.has_parent_path())
            if (auto found = library.find(n))
                return found->path;
    }
    return std::nullopt;
}

std::string outputPath(const Options& o, const std::string& model, const Environment& env) {
    const std::string stem = fs::path(model).stem().string() + ".pov";
    if (o.output.empty())
        return env.currentFolder + stem;
    std::string out = o.output;
    std::replace(out.begin(), out.end(), '\\', '/');
    if (out.back() == '/')
        return absolute(out, env) + stem;
    if (fs::path(out).extension().empty())
        out += ".pov";
    return absolute(out, env);
}

} // namespace

std::string usageText() {
    return "Usage: brickpov-convert [switches] model[.dat|.ldr|.mpd] [output.pov]\n"
           "Turns an LDraw model into a POV-Ray 3.7 scene, reading the parts from the LDraw\n"
           "library named by LDRAWDIR or by BaseDirectory in ~/.config/LDraw.ini.\n"
           "\n" +
           switches::helpText() +
           "  --help, --version\n"
           "\n"
           "Without an output name the scene is written as <model>.pov in the current folder.\n"
           "Exit status: 0 written; 1 nothing written (model unreadable, output exists\n"
           "without -o, or cannot be written); 2 unknown switch or malformed value, nothing\n"
           "written; 3 written, with warnings (missing files, unknown colours, nothing to\n"
           "draw).\n";
}

bool writeFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& write,
                         std::string& error) {
    std::random_device random;
    const std::string temp = path + ".tmp" + std::to_string(random() % 1000000);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot create \"" + temp + "\": " + std::strerror(errno);
            return false;
        }
        try {
            write(out);
        } catch (...) {
            out.close();
            std::error_code ignored;
            fs::remove(temp, ignored);
            throw;
        }
        out.flush();
        if (!out) {
            error = "cannot write \"" + temp + "\": " + std::strerror(errno);
            out.close();
            std::error_code ignored;
            fs::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        error = "cannot replace \"" + path + "\": " + ec.message();
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

int runConverter(const std::vector<std::string>& args, const Environment& env, std::ostream& out,
                 std::ostream& err) {
    const ParseResult parsed = parseArguments(args);
    const Options& o = parsed.options;
    if (o.help) {
        out << usageText();
        return kConverted;
    }
    if (o.version) {
        out << "brickpov-convert " << BRICKPOV_VERSION << "\n";
        return kConverted;
    }
    if (o.has(Id::Update) && o.model.empty()) {
        out << "brickpov-convert is part of Brickpov: updates do not apply to it; it is updated "
               "with Brickpov.\n";
        return kConverted;
    }
    if (!parsed.error.empty()) {
        err << "brickpov-convert: " << parsed.error << "\n"
            << "Try brickpov-convert --help.\n";
        return kUsage;
    }

    const std::string root = locateLDrawLibrary(env);
    Library library(root, "");

    const auto modelPath = findModel(o.model, env, library);
    if (!modelPath) {
        err << "brickpov-convert: cannot find the model \"" << o.model << "\"\n";
        return kFailed;
    }
    const std::string output = outputPath(o, *modelPath, env);
    if (!o.has(Id::Overwrite) && fs::exists(output)) {
        err << "brickpov-convert: \"" << output
            << "\" exists; give -o to overwrite it, or another output name\n";
        return kFailed;
    }

    // Images embedded in the model are written beside the scene.
    const auto model = loadModel(
        *modelPath, env, (fs::path(output).parent_path() / fs::path(output).stem()).string() + "-");
    std::vector<std::string>& warnings = model->warnings;
    out << "Model:   " << *modelPath << "\n"
        << "Library: " << (root.empty() ? "(none)" : root) << "\n";
    if (!model->colourFile.empty())
        out << "Colours: " << model->libraryColours << " from " << model->colourFile << "\n";
    if (!model->main) {
        err << "brickpov-convert: " << model->error << "\n";
        return kFailed;
    }
    std::string lgeoProblem;
    const std::string lgeo = o.has(Id::Lgeo) ? locateLgeo(env, &lgeoProblem) : std::string();
    if (!lgeoProblem.empty())
        warnings.push_back("-lgeo: " + lgeoProblem);
    PlanSettings settings;
    settings.studLogo = model->studLogo;
    const ScenePlan scene(o, *model->main, model->colours, lgeo, warnings, settings);
    const ResolvedMesh& top = scene.mainMesh();
    if (top.triangles.empty() && top.uses.empty() && top.povCode.empty())
        warnings.push_back("\"" + *modelPath +
                           "\" draws nothing: no part, face or POV-Ray code in it could be used");
    for (const std::string& w : warnings)
        err << "Warning: " << w << "\n";
    if (model->loader->missingReferences() > 0)
        err << "Warning: " << model->loader->missingReferences()
            << " reference(s) to missing files left out\n";
    std::string error;
    const auto write = env.writeFile ? env.writeFile : writeFileAtomically;
    // Streamed into the file: a large scene is never held whole.
    const auto writeScene = [&scene](std::ostream& pov) { writePovScene(pov, scene); };
    if (!write(output, writeScene, error)) {
        err << "brickpov-convert: " << error << "\n";
        return kFailed;
    }
    out << "Parts:   " << scene.partCount() << " (" << model->loader->fileCount() << " files read, "
        << scene.declaredFiles() << " declared)\n"
        << "Wrote:   " << output << "\n";
    return warnings.empty() ? kConverted : kWithWarnings;
}

} // namespace bp::conv
