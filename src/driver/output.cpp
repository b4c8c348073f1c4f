#include "driver/output.h"

#include <cstdio>
#include <cstdlib>

namespace bp::driver {

void Output::line(const std::string& text) {
    if (m_capture && text.rfind("! ", 0) != 0) {
        m_capture->push_back(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Output::fail(int lineNumber, const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "error: line %d: %s\n", lineNumber, message.c_str());
    std::fflush(stderr);
    std::exit(1);
}

std::string quoted(std::string_view text) {
    std::string s = "\"";
    for (char c : text) {
        switch (c) {
        case '"':
            s += "\\\"";
            break;
        case '\\':
            s += "\\\\";
            break;
        case '\r':
            s += "\\r";
            break;
        case '\n':
            s += "\\n";
            break;
        case '\t':
            s += "\\t";
            break;
        default:
            s += c;
        }
    }
    return s + "\"";
}

const char* boolText(bool value) {
    return value ? "True" : "False";
}

} // namespace bp::driver
