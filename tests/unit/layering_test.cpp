// The layers of the source tree: the core builds without Qt (a file under
// src/core that includes a Qt header would tie the command-line tools and
// the simulator to the GUI toolkit), and the GUI folders include downwards only.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

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

// The GUI folders form layers: a folder includes only from itself and the
// folders before it, so the page framework never needs the window that hosts
// the pages, and a page never needs the application around it.
TEST(Layering, GuiFoldersIncludeOnlyFromLayersBelow) {
    const std::filesystem::path gui = std::filesystem::path(ORVANTA_SOURCE_DIR) / "src" / "gui";
    const std::vector<std::string> order = {"controls", "framework", "dialogs", "pages", "app"};
    const std::regex guiInclude(R"(^\s*#\s*include\s*"gui/([a-z]+)/)");
    int files = 0;
    for (std::size_t layer = 0; layer < order.size(); ++layer) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(gui / order[layer])) {
            if (!entry.is_regular_file()) continue;
            ++files;
            std::ifstream in(entry.path());
            std::string line;
            int lineNo = 0;
            std::smatch m;
            while (std::getline(in, line)) {
                ++lineNo;
                if (!std::regex_search(line, m, guiInclude)) continue;
                const auto used = std::find(order.begin(), order.end(), m[1].str());
                ASSERT_NE(used, order.end()) << entry.path() << ":" << lineNo << ": unknown folder " << m[1];
                EXPECT_LE(static_cast<std::size_t>(used - order.begin()), layer)
                    << entry.path() << ":" << lineNo << ": " << line;
            }
        }
    }
    EXPECT_GT(files, 0);
}
