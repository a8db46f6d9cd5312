#include "tests/support/random_tree.h"

#include <rapidcheck.h>

#include <map>

namespace karuneo::testing {
namespace {

rc::Gen<std::string> Name() {
    return rc::gen::element<std::string>("A", "x", ".h");
}

// Entries for one folder: a file, an empty folder, a folder holding a file,
// or a link that leads out of the dropped folder.
std::vector<std::string> Contents(const std::string& prefix, int count) {
    std::map<std::string, std::string> chosen;
    for (int i = 0; i < count; ++i) {
        const std::string name = *Name();
        const int kind = *rc::gen::inRange(0, 4);
        const char* const kinds[] = {"", "/", "/in", "->../outside"};
        chosen[name] = prefix + name + kinds[kind];
    }
    std::vector<std::string> entries;
    for (const auto& [name, entry] : chosen) {
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace

std::vector<std::string> RandomTree() {
    std::vector<std::string> entries;
    std::string prefix;
    const int depth = *rc::gen::inRange(0, 4);
    for (int level = 0; level < depth; ++level) {
        if (*rc::gen::inRange(0, 2) == 0) {
            // In the dropped folder itself this may clash with a moved entry.
            entries.push_back(prefix + (level == 0 ? ".h" : ".hidden"));
        }
        prefix += *rc::gen::element<std::string>("A", "B") + "/";
    }
    const auto deepest = Contents(prefix, *rc::gen::inRange(0, 5));
    entries.insert(entries.end(), deepest.begin(), deepest.end());
    if (deepest.empty() && !prefix.empty()) {
        entries.push_back(prefix);
    }
    return entries;
}

}  // namespace karuneo::testing
