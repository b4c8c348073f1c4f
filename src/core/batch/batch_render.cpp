#include "core/batch/batch_render.h"

#include "core/common/file_routines.h"
#include "core/common/numbers.h"
#include "core/common/string_routines.h"
#include "core/window/tool_choice.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <ostream>
#include <thread>

namespace bp {

const char* const kRenderUsage =
    "Usage: brickpov render [OPTION]... MODEL...\n"
    "Converts each LDraw MODEL to a POV-Ray scene and renders it, with no window.\n"
    "A MODEL that is a folder stands for every .ldr, .mpd and .dat file in it.\n"
    "\n"
    "  --scene FILE.bps     the options and render settings of this scene (default:\n"
    "                       the default scene Brickpov loads)\n"
    "  --output-dir DIR     write scenes and pictures there (default: beside each model)\n"
    "  --size WxH           picture size (default: the scene's)\n"
    "  --format FORMAT      png, bmp, tga or ppm (default: the scene's file type)\n"
    "  --jobs N             render N units of work at once (default 1)\n"
    "  --transparent-background\n"
    "                       an alpha channel, transparent where the scene has no\n"
    "                       background colour (png, tga)\n"
    "  --frames             render the step-clock frames, split into ranges\n"
    "  --frames-per-job N   frames in one range (default 10)\n"
    "  --strict             count a model converted with warnings (missing parts)\n"
    "                       as failed\n"
    "  --recursive          take the models of folders given in their subfolders too\n"
    "  --l3p                convert with the L3P program Brickpov is set up with\n"
    "                       instead of brickpov-convert\n"
    "  --print-jobs         print one shell command per unit of work instead of\n"
    "                       running them (for GNU parallel)\n"
    "  --help               show this text\n"
    "\n"
    "Exit status: 0 when every model rendered (with --strict: without warnings),\n"
    "1 when some failed, 2 when the\n"
    "arguments or the scene could not be used.\n";

namespace {

std::optional<int> positive(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1)
        return std::nullopt;
    return value;
}

// The file type item of each format, as the render settings list names it.
struct Format {
    const char* name;
    const char* item;
};
constexpr Format kFormats[] = {{"png", "N - New PNG"},
                               {"bmp", "S - Windows BMP"},
                               {"tga", "T - Uncompressed Targa"},
                               {"ppm", "P - Unix PPM"}};

// The file POV-Ray writes for a file type letter.
std::string extensionFor(const std::string& fileTypeText) {
    const char letter = fileTypeText.empty() ? 'N' : toupper(fileTypeText[0]);
    switch (letter) {
    case 'S':
    case 'B':
        return ".bmp";
    case 'C':
    case 'T':
        return ".tga";
    case 'P':
        return ".ppm";
    case 'J':
        return ".jpg";
    case 'E':
        return ".exr";
    case 'H':
        return ".hdr";
    default:
        return ".png";
    }
}

std::string stem(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

std::string lastLine(const std::string& text) {
    std::size_t end = text.find_last_not_of(" \t\r\n");
    if (end == std::string::npos)
        return {};
    const std::size_t start = text.find_last_of("\r\n", end);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end - (start == std::string::npos ? 0 : start + 1) + 1);
}

std::string withReason(std::string what, const std::string& output) {
    const std::string line = lastLine(output);
    return line.empty() ? what : what + ": " + line;
}

// The frames of a step-clock model, as the render settings dialog counts
// them; the units split them into ranges.
struct FrameRange {
    int first = 1;
    int last = 1;
};

void planModel(const Options& base, const RenderRequest& request, const RenderTools& tools,
               FileSystem& files, const std::string& given, std::vector<WorkUnit>& units) {
    std::error_code ec;
    const std::string model = std::filesystem::absolute(given, ec).lexically_normal().string();
    WorkUnit unit;
    unit.label = given;
    auto fail = [&](std::string reason) {
        unit.failure = std::move(reason);
        units.push_back(std::move(unit));
    };
    if (ec || !files.fileExists(model))
        return fail("model not found");

    Options o = base;
    o.modelPath = folderPart(model);
    o.modelFile = fileNamePart(model);
    o.outputFile = proposedOutputName(o.modelFile);
    std::string outputDir = request.outputDir;
    if (!outputDir.empty()) {
        outputDir = std::filesystem::absolute(outputDir, ec).lexically_normal().string();
        std::filesystem::create_directories(outputDir, ec);
        if (ec || !files.folderExists(AddBackslash(outputDir)))
            return fail("cannot use the output folder " + request.outputDir +
                        (ec ? ": " + ec.message() : std::string()));
    }
    o.povPath = outputDir.empty() ? o.modelPath : AddBackslash(outputDir);
    // A batch is run again after changes: its scenes are its own to replace.
    o.ticks[switches::Id::Overwrite] = Check::Ticked;

    RenderSettings& r = o.renderSettings;
    for (const Format& f : kFormats)
        if (request.format == f.name)
            r.fileTypeText = f.item;
    if (!request.width.empty()) {
        r.width = request.width;
        r.height = request.height;
    }
    r.outputFile = stem(o.modelFile) + extensionFor(r.fileTypeText);
    if (request.transparentBackground)
        r.transparentBackground = Check::Ticked;

    std::vector<FrameRange> ranges{{}};
    if (request.frames) {
        o.ticks[switches::Id::StepClock] = Check::Ticked;
        const auto steps = countStepLines(model);
        if (!steps)
            return fail("cannot read the model");
        if (*steps == 0)
            return fail("no STEP lines: no step-clock frames to render");
        r.finalFrame = r.finalClock = std::to_string(*steps);
        const int first = std::clamp(static_cast<int>(leadingNumber(r.initialFrame)), 1, *steps);
        ranges.clear();
        for (int a = first; a <= *steps; a += request.framesPerJob)
            ranges.push_back({a, std::min(*steps, a + request.framesPerJob - 1)});
    }
    if (tools.povray.empty())
        return fail("POV-Ray not found: install povray or put it on the PATH");
    for (const std::string& name : {o.povPath + stem(o.modelFile), r.outputFile})
        if (!povrayCanName(name))
            return fail("POV-Ray cannot be given \"" + visibleText(name) +
                        "\": it holds both kinds of quotes; rename it");

    // A scene rendered with its step-clock settings writes numbered frames.
    const bool animated = ticked(o.ticks[switches::Id::StepClock]) && !r.initialFrame.empty() &&
                          !r.finalFrame.empty() && !r.initialClock.empty() && !r.finalClock.empty();
    if (animated && !request.frames)
        ranges = {{static_cast<int>(leadingNumber(r.initialFrame)),
                   static_cast<int>(leadingNumber(r.finalFrame))}};
    const std::size_t digits = std::to_string(ranges.back().last).size();
    for (const FrameRange& range : ranges) {
        WorkUnit u;
        Options uo = o;
        u.label = given;
        if (request.frames) {
            u.label += " frames " + std::to_string(range.first) + "-" + std::to_string(range.last);
            // Each range converts a scene of its own, so that ranges run at
            // once never write the same file.
            if (ranges.size() > 1)
                uo.outputFile = stem(o.outputFile) + "-" + std::to_string(range.first) + "-" +
                                std::to_string(range.last) + ".pov";
        }
        u.commands.push_back({tools.converter, l3pArguments(uo), o.modelPath});
        Arguments render = povrayArguments(uo);
        if (request.frames) {
            render.push_back("+SF" + std::to_string(range.first));
            render.push_back("+EF" + std::to_string(range.last));
        }
        render.emplace_back("-D"); // no preview window: there may be no display
        u.commands.push_back({tools.povray, std::move(render), o.povPath});
        u.leftovers.push_back(o.povPath + uo.outputFile + "-state");
        const std::string picture = stem(r.outputFile);
        const std::string extension = extensionFor(r.fileTypeText);
        if (!animated) {
            u.pictures.push_back(o.povPath + r.outputFile);
        } else {
            for (int f = range.first; f <= range.last; ++f) {
                std::string number = std::to_string(f);
                number.insert(0, digits - std::min(digits, number.size()), '0');
                u.pictures.push_back(o.povPath + picture + number + extension);
            }
        }
        units.push_back(std::move(u));
    }
}

bool plainShellCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) ||
           std::string_view("_+,./:=@%-").find(c) != std::string_view::npos;
}

} // namespace

std::variant<RenderRequest, std::string> parseRenderRequest(const std::vector<std::string>& args) {
    RenderRequest r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (a == "--help") {
            r.help = true;
        } else if (a == "--frames") {
            r.frames = true;
        } else if (a == "--print-jobs") {
            r.printJobs = true;
        } else if (a == "--l3p") {
            r.useL3P = true;
        } else if (a == "--strict") {
            r.strict = true;
        } else if (a == "--recursive") {
            r.recursive = true;
        } else if (a == "--transparent-background") {
            r.transparentBackground = true;
        } else if (a == "--scene" || a == "--output-dir" || a == "--size" || a == "--format" ||
                   a == "--jobs" || a == "--frames-per-job") {
            const auto v = value();
            if (!v || v->empty())
                return a + " needs a value";
            if (a == "--scene") {
                r.scene = *v;
            } else if (a == "--output-dir") {
                r.outputDir = *v;
            } else if (a == "--size") {
                const auto x = v->find_first_of("xX");
                if (x == std::string::npos || !positive(v->substr(0, x)) ||
                    !positive(v->substr(x + 1)))
                    return "--size takes WIDTHxHEIGHT, such as 640x480, not " + *v;
                r.width = v->substr(0, x);
                r.height = v->substr(x + 1);
            } else if (a == "--format") {
                const std::string f = toLowerAscii(*v);
                if (std::none_of(std::begin(kFormats), std::end(kFormats),
                                 [&](const Format& k) { return f == k.name; }))
                    return "--format takes png, bmp, tga or ppm, not " + *v;
                r.format = f;
            } else {
                const auto n = positive(*v);
                if (!n)
                    return a + " takes a whole number of 1 or more, not " + *v;
                (a == "--jobs" ? r.jobs : r.framesPerJob) = *n;
            }
        } else if (a.starts_with("--")) {
            return "unknown option " + a;
        } else {
            r.models.push_back(a);
        }
    }
    if (r.models.empty() && !r.help)
        return std::string("no model given");
    return r;
}

std::vector<WorkUnit> planRender(const Options& options, const RenderRequest& request,
                                 const RenderTools& tools, FileSystem& files) {
    std::vector<WorkUnit> units;
    for (const std::string& given : request.models) {
        if (!files.folderExists(given)) {
            planModel(options, request, tools, files, given, units);
            continue;
        }
        const auto models = modelsInFolder(files, given, request.recursive);
        if (models.empty()) {
            WorkUnit none;
            none.label = given;
            none.failure = "no models (.ldr, .mpd, .dat) in this folder";
            units.push_back(std::move(none));
        }
        for (const std::string& model : models)
            planModel(options, request, tools, files, model, units);
    }
    return units;
}

std::vector<std::string> modelsInFolder(FileSystem& files, const std::string& folder,
                                        bool recursive) {
    std::vector<std::string> models;
    const std::string prefix = AddBackslash(folder);
    for (const DirEntry& e : files.list(prefix)) {
        if (e.isFolder) {
            if (recursive) {
                const auto inner = modelsInFolder(files, prefix + e.name, true);
                models.insert(models.end(), inner.begin(), inner.end());
            }
            continue;
        }
        const std::string lower = toLowerAscii(e.name);
        if (lower.ends_with(".ldr") || lower.ends_with(".mpd") || lower.ends_with(".dat"))
            models.push_back(prefix + e.name);
    }
    return models;
}

std::string shellWord(const std::string& word) {
    if (!word.empty() && std::all_of(word.begin(), word.end(), plainShellCharacter))
        return word;
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string shellCommand(const WorkUnit& unit) {
    std::string line;
    for (const Command& c : unit.commands) {
        if (!line.empty())
            line += " && ";
        if (!c.workingDir.empty())
            line += "cd " + shellWord(c.workingDir) + " && ";
        line += shellWord(c.program);
        for (const std::string& a : c.arguments)
            line += " " + shellWord(a);
    }
    return line;
}

std::string visibleText(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n')
            shown += "\\n";
        else if (c == '\r')
            shown += "\\r";
        else if (c == '\t')
            shown += "\\t";
        else if (u < 0x20 || u == 0x7F) {
            const char* digits = "0123456789ABCDEF";
            shown += std::string("\\x") + digits[u >> 4] + digits[u & 15];
        } else
            shown += c;
    }
    return shown;
}

std::string jobLineProblem(const WorkUnit& unit) {
    const auto control = [](const std::string& word) {
        return std::any_of(word.begin(), word.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        });
    };
    for (const Command& c : unit.commands) {
        std::vector<const std::string*> words{&c.workingDir, &c.program};
        for (const std::string& a : c.arguments)
            words.push_back(&a);
        for (const std::string* w : words)
            if (control(*w))
                return "\"" + visibleText(*w) +
                       "\" holds a control character, which would split the job's line; rename it";
    }
    return {};
}

namespace {

std::vector<std::string> warningLines(const std::string& output) {
    std::vector<std::string> warnings;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        std::string_view line(output.data() + start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.starts_with("Warning: "))
            warnings.emplace_back(line.substr(9));
        start = end + 1;
    }
    return warnings;
}

// Removes what a stopped unit wrote: pictures changed since it started, and
// POV-Ray's state files.
void removePartialOutput(const WorkUnit& unit, std::filesystem::file_time_type started) {
    std::error_code ec;
    for (const std::string& picture : unit.pictures) {
        const auto changed = std::filesystem::last_write_time(picture, ec);
        if (!ec && changed >= started)
            std::filesystem::remove(picture, ec);
    }
    for (const std::string& file : unit.leftovers)
        std::filesystem::remove(file, ec);
}

// The signal behind an exit status of 128 + N, by its usual name on Linux.
std::string signalOf(int exitStatus) {
    constexpr std::pair<int, const char*> kNames[] = {
        {1, "SIGHUP"},   {2, "SIGINT"},   {3, "SIGQUIT"},  {4, "SIGILL"},   {6, "SIGABRT"},
        {7, "SIGBUS"},   {8, "SIGFPE"},   {9, "SIGKILL"},  {11, "SIGSEGV"}, {13, "SIGPIPE"},
        {14, "SIGALRM"}, {15, "SIGTERM"}, {24, "SIGXCPU"}, {25, "SIGXFSZ"}};
    for (const auto& [number, name] : kNames)
        if (exitStatus == 128 + number)
            return name;
    return {};
}

std::string failureReason(const char* what, const ProgramRun& run, const WorkUnit& unit) {
    if (const std::string signal = signalOf(run.exitStatus); !signal.empty())
        return std::string(what) + " was killed by " + signal;
    if (!unit.pictures.empty()) {
        const std::string folder = folderPart(unit.pictures.front());
        std::error_code ec;
        const auto space = std::filesystem::space(folder.empty() ? "." : folder, ec);
        if (!ec && space.available < 64 * 1024)
            return "the disk is full: " + std::string(what) + " could not write " +
                   unit.pictures.front();
    }
    return withReason(std::string(what) + " failed (exit status " + std::to_string(run.exitStatus) +
                          ")",
                      run.output);
}

UnitResult runUnit(const WorkUnit& unit, Programs& programs, FileSystem& files, bool strict,
                   std::stop_token stop) {
    UnitResult result;
    if (!unit.failure.empty()) {
        result.reason = unit.failure;
        return result;
    }
    // A second earlier, so that a picture written in the same second counts.
    const auto started = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(1);
    for (std::size_t i = 0; i < unit.commands.size(); ++i) {
        const Command& c = unit.commands[i];
        const bool converting = i + 1 < unit.commands.size();
        const char* what = converting ? "conversion" : "POV-Ray";
        const ProgramRun run = programs.runToEnd(c.program, c.arguments, c.workingDir);
        if (stop.stop_requested() && (!run.started || run.exitStatus != 0)) {
            removePartialOutput(unit, started);
            result.stopped = true;
            result.reason = "stopped";
            return result;
        }
        if (!run.started) {
            result.reason = std::string(what) + " could not start: " + run.failure;
            return result;
        }
        const bool ok =
            run.exitStatus == 0 || (converting && run.exitStatus == kOurConverterWarned);
        if (!ok) {
            result.reason = failureReason(what, run, unit);
            return result;
        }
        if (converting && run.exitStatus == kOurConverterWarned) {
            result.warnings = warningLines(run.output);
            if (strict) {
                result.reason = "converted with warnings (--strict)";
                return result;
            }
        }
    }
    for (const std::string& picture : unit.pictures) {
        if (!files.fileExists(picture)) {
            result.reason = "POV-Ray wrote no " + picture;
            return result;
        }
    }
    result.rendered = true;
    return result;
}

} // namespace

std::vector<UnitResult> runUnits(const std::vector<WorkUnit>& units, int jobs, Programs& programs,
                                 FileSystem& files, RenderProgress& progress, bool strict,
                                 std::stop_token stop) {
    std::vector<UnitResult> results(units.size());
    std::atomic<std::size_t> next{0};
    std::mutex reporting;
    auto work = [&] {
        for (std::size_t i = next++; i < units.size(); i = next++) {
            if (stop.stop_requested()) {
                results[i].stopped = true;
                results[i].reason = "not started: the run was stopped";
                continue;
            }
            {
                std::lock_guard lock(reporting);
                progress.unitStarted(i);
            }
            const auto start = std::chrono::steady_clock::now();
            try {
                results[i] = runUnit(units[i], programs, files, strict, stop);
            } catch (const std::exception& e) {
                results[i].reason = e.what();
            }
            results[i].seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::lock_guard lock(reporting);
            progress.unitFinished(i, results[i]);
        }
    };
    const std::size_t threads =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), units.size());
    std::vector<std::jthread> workers;
    for (std::size_t t = 1; t < threads; ++t)
        workers.emplace_back(work);
    work();
    return results;
}

StreamProgress::StreamProgress(std::ostream& out, const std::vector<WorkUnit>& units, bool terminal,
                               std::string noun)
    : m_out(out), m_units(units), m_terminal(terminal), m_noun(std::move(noun)) {}

void StreamProgress::drawBar() {
    constexpr std::size_t width = 30;
    const std::size_t total = std::max<std::size_t>(m_units.size(), 1);
    const std::size_t filled = m_done * width / total;
    m_out << "\r\033[K[" << std::string(filled, '#') << std::string(width - filled, '.') << "] "
          << m_done << "/" << m_units.size();
    if (m_running > 0)
        m_out << ", " << m_running << " running";
    m_out << std::flush;
}

void StreamProgress::unitStarted(std::size_t) {
    ++m_running;
    if (m_terminal)
        drawBar();
}

void StreamProgress::unitFinished(std::size_t index, const UnitResult& result) {
    --m_running;
    ++m_done;
    const WorkUnit& unit = m_units[index];
    if (m_terminal)
        m_out << "\r\033[K";
    m_out << "[" << m_done << "/" << m_units.size() << "] " << unit.label << ": ";
    if (result.rendered) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", result.seconds);
        m_out << "rendered in " << seconds << " s"
              << (result.warnings.empty() ? "" : ", with warnings") << "\n";
    } else {
        m_out << "FAILED: " << result.reason << "\n";
    }
    if (m_terminal && m_done < m_units.size())
        drawBar();
    m_out << std::flush;
}

std::string renderSummary(const std::vector<WorkUnit>& units,
                          const std::vector<UnitResult>& results, const std::string& noun) {
    std::size_t rendered = 0, missing = 0, warned = 0;
    for (const UnitResult& r : results) {
        rendered += r.rendered;
        if (!r.rendered || r.warnings.empty())
            continue;
        const bool lacksFiles =
            std::any_of(r.warnings.begin(), r.warnings.end(),
                        [](const std::string& w) { return w.starts_with("cannot find "); });
        ++(lacksFiles ? missing : warned);
    }
    std::string text = "Rendered " + std::to_string(rendered) + " of " +
                       std::to_string(results.size()) + " " + noun;
    if (missing > 0)
        text += ", " + std::to_string(missing) + " with missing parts";
    if (warned > 0)
        text += ", " + std::to_string(warned) + " with warnings";
    if (rendered == results.size())
        text += ".\n";
    else
        text += "; failed:\n";
    for (std::size_t i = 0; i < results.size() && i < units.size(); ++i)
        if (!results[i].rendered)
            text += "  " + units[i].label + ": " + results[i].reason + "\n";
    if (std::any_of(results.begin(), results.end(),
                    [](const UnitResult& r) { return !r.warnings.empty(); }))
        text += "Warnings:\n";
    for (std::size_t i = 0; i < results.size() && i < units.size(); ++i)
        for (const std::string& w : results[i].warnings)
            text += "  " + units[i].label + ": " + w + "\n";
    return text;
}

void StreamProgress::summary(const std::vector<UnitResult>& results) {
    m_out << renderSummary(m_units, results, m_noun) << std::flush;
}

} // namespace bp
