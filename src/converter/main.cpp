#include "converter/convert.h"
#include "converter/posix_file.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

int main(int argc, char** argv) {
    bp::conv::Environment env;
    for (const char* name : {"LDRAWDIR", "LGEODIR", "XDG_CONFIG_HOME", "HOME"})
        if (const char* value = std::getenv(name))
            env.vars[name] = value;
    env.writeFile = bp::conv::writeFileSafely;
    std::error_code ec;
    env.currentFolder = std::filesystem::current_path(ec).string();
    if (ec || env.currentFolder.empty())
        env.currentFolder = ".";
    if (env.currentFolder.back() != '/')
        env.currentFolder += '/';
    try {
        return bp::conv::runConverter(std::vector<std::string>(argv + 1, argv + argc), env,
                                      std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "brickpov-convert: " << e.what() << "\n";
        return bp::conv::kFailed;
    }
}
