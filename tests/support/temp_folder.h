#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace bp::test {

// A fresh folder under the system's temporary folder, removed with all it
// holds when the test is done. Its path ends in "/".
class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "brickpov_test_XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern + "/";
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};

} // namespace bp::test
