#include "tests/support/temp_tree.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/platform.h"

namespace karuneo::testing {
namespace fs = std::filesystem;
namespace {

struct Described_ {
    std::string path;
    std::string kind;  // as in Snapshot
};

Described_ Describe(const std::string& entry) {
    if (entry.ends_with('/')) {
        return {entry.substr(0, entry.size() - 1), "dir"};
    }
    const auto arrow = entry.find("->");
    if (arrow != std::string::npos) {
        return {entry.substr(0, arrow), "link:" + entry.substr(arrow + 2)};
    }
    return {entry, "file:" + entry};
}

fs::path UniqueRoot() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::ostringstream name;
    name << "karuneo-test-" << stamp << '-' << counter++;
    fs::path root = TestTreesFolder() / name.str();
    fs::create_directories(root);
    return root;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Parent links of an entry are added too, so that Described() and Take()
// agree on trees whose folders were only implied.
void AddWithParents(Snapshot& tree, const std::string& path, const std::string& kind) {
    for (auto slash = path.find('/'); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        tree.emplace(path.substr(0, slash), "dir");
    }
    tree[path] = kind;
}

// Cut textually: lexically_relative does not understand long-form paths.
fs::path RelativeTo(const fs::path& base, const fs::path& entry) {
    return fs::path(entry.native().substr(base.native().size() + 1));
}

void WriteFile(const fs::path& target, const std::string& content) {
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        throw std::runtime_error("cannot write " + target.string());
    }
}

void HideDotNames(const fs::path& root, const fs::path& relative) {
    fs::path entry = root;
    for (const auto& name : relative) {
        entry /= name;
        if (GenericUtf8(name).starts_with('.')) {
            HideLikeADotName(entry);
        }
    }
}

void AddEntry(const fs::path& root, const std::string& entry) {
    const auto [path, kind] = Describe(entry);
    const fs::path target = root / PathFromUtf8(path);
    fs::create_directories(target.parent_path());
    if (kind == "dir") {
        fs::create_directories(target);
    } else if (kind.starts_with("link:")) {
        fs::create_symlink(PathFromUtf8(kind.substr(5)), target);
    } else {
        WriteFile(target, kind.substr(5));
    }
    HideDotNames(root, PathFromUtf8(path));
}

}  // namespace

TempTree::TempTree() : root_(UniqueRoot()) {
    KeepJournalsInTests();
}

TempTree::~TempTree() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string TempTree::Path(const std::string& relative) const {
    return NativeUtf8(relative.empty() ? root_ : root_ / PathFromUtf8(relative));
}

void TempTree::Add(const std::vector<std::string>& entries, const std::string& under) const {
    const fs::path base = under.empty() ? root_ : root_ / PathFromUtf8(under);
    fs::create_directories(base);
    for (const auto& entry : entries) {
        AddEntry(base, entry);
    }
}

void TempTree::Write(const std::string& relative, const std::string& content) const {
    const fs::path target = root_ / PathFromUtf8(relative);
    fs::create_directories(target.parent_path());
    WriteFile(target, content);
}

void TempTree::AddEmptyFiles(const std::string& folder, int count) const {
    const fs::path base = root_ / PathFromUtf8(folder);
    fs::create_directories(base);
    for (int i = 0; i < count; ++i) {
        std::ofstream(base / ("f" + std::to_string(i)));
    }
}

Snapshot TempTree::Take(const std::string& relative) const {
    Snapshot tree;
    const fs::path base = relative.empty() ? root_ : root_ / PathFromUtf8(relative);
    for (auto it = fs::recursive_directory_iterator(base); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string key = GenericUtf8(RelativeTo(base, it->path()));
        const auto status = it->symlink_status();
        if (fs::is_symlink(status)) {
            tree[key] = "link:" + GenericUtf8(fs::read_symlink(it->path()));
        } else if (fs::is_directory(status)) {
            tree[key] = "dir";
        } else {
            tree[key] = "file:" + ReadAll(it->path());
        }
    }
    return tree;
}

Snapshot Layout(const Snapshot& tree) {
    Snapshot layout = tree;
    for (auto& [path, kind] : layout) {
        if (kind.starts_with("file:")) {
            kind = "file";
        }
    }
    return layout;
}

std::vector<std::string> FileContents(const Snapshot& tree) {
    std::vector<std::string> contents;
    for (const auto& [path, kind] : tree) {
        if (kind.starts_with("file:")) {
            contents.push_back(kind.substr(5));
        }
    }
    std::sort(contents.begin(), contents.end());
    return contents;
}

Snapshot Described(const std::vector<std::string>& entries) {
    Snapshot tree;
    for (const auto& entry : entries) {
        const auto [path, kind] = Describe(entry);
        AddWithParents(tree, path, kind);
    }
    return tree;
}

}  // namespace karuneo::testing
