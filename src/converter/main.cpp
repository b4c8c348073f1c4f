#include "converter/convert.h"
#include "converter/posix_file.h"
#include "converter/text.h"

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
    bp::conv::PrintableOutput outBuffer(std::cout.rdbuf());
    bp::conv::PrintableOutput errBuffer(std::cerr.rdbuf());
    std::ostream out(&outBuffer);
    std::ostream err(&errBuffer);
    err.setf(std::ios::unitbuf);
    try {
        return bp::conv::runConverter(std::vector<std::string>(argv + 1, argv + argc), env, out,
                                      err);
    } catch (const std::exception& e) {
        err << "brickpov-convert: " << e.what() << "\n";
        return bp::conv::kFailed;
    }
}
