// The layers of the source tree and the arrows between them: every #include of a file under src/
// names a folder its layer may know, and Qt stays out of the layers that run without it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct LayerRule {
    std::string folder;
    std::set<std::string> mayInclude;  // folders of src/ its files may include
    bool mayUseQt;
};

const std::vector<LayerRule> LayerRules = {
    {"core", {"core"}, false},
    {"decoder", {"core", "decoder"}, false},
    {"products", {"core", "decoder", "products"}, false},
    // The batch commands JSON and CSV write the documents that products makes of a decoded sounding.
    {"app", {"core", "decoder", "products", "app"}, false},
    {"chart", {"chart"}, true},
    {"ui", {"core", "decoder", "products", "app", "chart", "ui"}, true},
};

struct IncludeLine {
    std::string file;
    int line;
    std::string text;
};

std::vector<IncludeLine> IncludesUnder(const fs::path& folder) {
    static const std::regex include(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
    std::vector<IncludeLine> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
        std::ifstream in(entry.path());
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            std::smatch match;
            if (std::regex_search(text, match, include))
                found.push_back({entry.path().lexically_relative(folder.parent_path()).string(), line, match[1]});
        }
    }
    return found;
}

// The folder of src/ an include names ("core/uBUFRDefs.h" names core), or "" for a system header.
std::string SourceFolderOf(const std::string& included, const std::set<std::string>& folders) {
    const std::size_t slash = included.find('/');
    if (slash == std::string::npos) return {};
    const std::string first = included.substr(0, slash);
    return folders.count(first) ? first : std::string();
}

bool IsQtHeader(const std::string& included) {
    return included.rfind("Q", 0) == 0 || included.rfind("qt", 0) == 0 || included.rfind("Qt", 0) == 0;
}

const fs::path SourceRoot = fs::path(TAVIK_SOURCE_DIR) / "src";

std::set<std::string> SourceFolders() {
    std::set<std::string> folders;
    for (const auto& entry : fs::directory_iterator(SourceRoot))
        if (entry.is_directory()) folders.insert(entry.path().filename().string());
    return folders;
}

TEST(LayerIncludes, EveryFolderOfTheSourceHasARule) {
    std::set<std::string> ruled;
    for (const LayerRule& rule : LayerRules) ruled.insert(rule.folder);
    for (const std::string& folder : SourceFolders())
        EXPECT_TRUE(ruled.count(folder)) << "src/" << folder << " has no place among the layers";
}

TEST(LayerIncludes, IncludesFollowTheArrows) {
    const std::set<std::string> folders = SourceFolders();
    for (const LayerRule& rule : LayerRules) {
        const fs::path folder = SourceRoot / rule.folder;
        if (!fs::exists(folder)) continue;
        for (const IncludeLine& inc : IncludesUnder(folder)) {
            const std::string target = SourceFolderOf(inc.text, folders);
            const std::string where = inc.file + ":" + std::to_string(inc.line) + " includes " + inc.text;
            if (!target.empty()) {
                EXPECT_TRUE(rule.mayInclude.count(target)) << where << ": " << rule.folder << " does not know " << target;
            } else if (!rule.mayUseQt) {
                EXPECT_FALSE(IsQtHeader(inc.text)) << where << ": " << rule.folder << " runs without Qt";
            }
        }
    }
}

// The check itself: a file of a Qt-free layer that includes the window is caught.
TEST(LayerIncludes, AForbiddenIncludeIsFound) {
    const fs::path root = fs::temp_directory_path() / ("layer_includes_" + std::to_string(::getpid()));
    fs::create_directories(root / "decoder");
    std::ofstream(root / "decoder" / "Bad.cpp") << "#include \"ui/MainFrm.h\"\n#include <QString>\n";
    const std::vector<IncludeLine> found = IncludesUnder(root / "decoder");
    fs::remove_all(root);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(SourceFolderOf(found[0].text, {"ui", "decoder"}), "ui");
    EXPECT_TRUE(IsQtHeader(found[1].text));
    EXPECT_EQ(found[0].line, 1);
}

}  // namespace
