// The core must build without Qt: a file under src/core that includes a Qt
// header would tie the command-line tools and the simulator to the GUI toolkit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

TEST(Layering, CoreIncludesNoQtHeader) {
    const std::string root = ORVANTA_SOURCE_DIR;
    const std::regex qtInclude(R"(^\s*#\s*include\s*[<"]Q)");
    int files = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::filesystem::path(root) / "src" / "core")) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path());
        std::string line;
        int lineNo = 0;
        ++files;
        while (std::getline(in, line)) {
            ++lineNo;
            EXPECT_FALSE(std::regex_search(line, qtInclude)) << entry.path() << ":" << lineNo << ": " << line;
        }
    }
    EXPECT_GT(files, 0);
}
