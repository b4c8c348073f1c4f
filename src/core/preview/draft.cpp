#include "core/preview/draft.h"

#include "core/options/options.h"

namespace bp {

std::vector<std::string> draftConverterArguments(const Options& options,
                                                 const std::string& modelFile,
                                                 const std::string& povFile) {
    std::vector<std::string> args{modelFile, povFile, "-o"};
    const std::vector<std::string> all = l3pArguments(options);
    for (std::size_t i = 1; i < all.size(); ++i) {
        const std::string& a = all[i];
        if (!a.starts_with('-') || a == "-o" || a == "-lgeo")
            continue; // the files are named above; LGEO is left out
        args.push_back(a);
    }
    return args;
}

std::vector<std::string> draftPovrayArguments(const Options& options, const std::string& povFile,
                                              const std::string& pictureFile, int width, int height,
                                              int lastStep) {
    std::vector<std::string> args{"+I" + povFile,
                                  "+O" + pictureFile,
                                  "+FN",
                                  "+W" + std::to_string(width),
                                  "+H" + std::to_string(height),
                                  "-A",
                                  "-D",
                                  "-P"};
    if (ticked(options.ticks[switches::Id::StepClock]))
        args.push_back("+K" + std::to_string(lastStep) + ".5");
    return args;
}

} // namespace bp
