// The layers of the source tree: the core builds without Qt (a file under
// src/core that includes a Qt header would tie the command-line tools and
// the simulator to the GUI toolkit), the core's folders include in one
// order, and the GUI folders include downwards only.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
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

namespace {

namespace fs = std::filesystem;

// The folders a file includes from ("core/<folder>/..." or
// "gui/<folder>/..."), one entry per include line with where it stands.
struct FolderInclude {
    fs::path file;
    int line = 0;
    std::string folder;
};

std::vector<FolderInclude> FolderIncludes(const fs::path& folder, const std::string& area) {
    const std::regex include(R"(^\s*#\s*include\s*[<"])" + area + R"(/([a-z0-9_]+)/)");
    std::vector<FolderInclude> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path());
        std::string text;
        int lineNo = 0;
        std::smatch m;
        while (std::getline(in, text)) {
            ++lineNo;
            if (std::regex_search(text, m, include)) found.push_back({entry.path(), lineNo, m[1].str()});
        }
    }
    return found;
}

// The core's folders, each on top of the ones before it:
//   base       the diagnostics sink, the deadline, address text: used by all
//   settings   the camera record and the keys table that names its fields
//   i18n       language files and strings
//   output     the text/JSON/CSV record writers: a presentation helper that
//              knows records (settings) but no protocol, so the protocols'
//              own writers (a discovered camera, an ONVIF device) sit beside
//              their records and build on it, and a protocol never reaches
//              up into another one's output
//   http       one HTTP client for both camera protocols
//   discovery  our cameras' datagram search
//   hostnet    the host's cards, aliases and neighbour checks: under onvif,
//              whose address checks ask the host which card a camera is on
//   camera     our own cameras' pages, over http, found through discovery
//   onvif      other makers' cameras, over http, checked against hostnet
//   provision  plans, over both kinds of camera
//   report     the handover report, over plans' results and both protocols
const std::vector<std::string> kCoreOrder = {"base",      "settings", "i18n",   "output", "http",
                                             "discovery", "hostnet",  "camera", "onvif",  "provision",
                                             "report"};

}  // namespace

// A folder includes only from itself and the folders before it, so the
// folders never include each other in a circle (the record's keys table once
// lived with the camera pages, which themselves need the record) and each
// one's CMake library links only what lies below it. Every folder under
// src/core must be named in the order.
TEST(Layering, CoreFoldersIncludeOnlyFromFoldersBefore) {
    const fs::path core = fs::path(ORVANTA_SOURCE_DIR) / "src" / "core";
    const std::vector<std::string>& order = kCoreOrder;
    std::set<std::string> present;
    for (const auto& entry : fs::directory_iterator(core))
        if (entry.is_directory()) present.insert(entry.path().filename().string());
    EXPECT_EQ(present, std::set<std::string>(order.begin(), order.end()))
        << "a core folder is missing from the order, or the order names one that is gone";

    int includes = 0;
    for (std::size_t layer = 0; layer < order.size(); ++layer) {
        if (!fs::is_directory(core / order[layer])) continue;
        for (const auto& inc : FolderIncludes(core / order[layer], "core")) {
            ++includes;
            const auto used = std::find(order.begin(), order.end(), inc.folder);
            ASSERT_NE(used, order.end()) << inc.file << ":" << inc.line << ": unknown folder " << inc.folder;
            EXPECT_LE(static_cast<std::size_t>(used - order.begin()), layer)
                << inc.file << ":" << inc.line << ": " << order[layer] << " includes from " << inc.folder
                << ", which comes after it";
        }
    }
    EXPECT_GT(includes, 0);
}
