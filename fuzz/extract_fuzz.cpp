// libFuzzer target: the input is taken for an archive and extracted beside a
// file it must never touch; aborts when anything was written outside the new
// folder, something was left under a temporary name, a link left in the
// folder points outside it, or the dry run's row differs from the real one's.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <system_error>

#include "engine/extract/entry_name.h"
#include "engine/extract/extract_run.h"
#include "engine/native_file_system.h"
#include "tests/support/reason_sink.h"

namespace karuneo::fuzz {
namespace {

namespace fs = std::filesystem;

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

const fs::path& Place() {
    static const fs::path place = [] {
        const fs::path made =
            fs::temp_directory_path() / ("karuneo-extract-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(made / "sub");
        std::ofstream(made / "outside") << "keep";
        return made;
    }();
    return place;
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

void CheckLinks(const fs::path& folder) {
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); it != fs::end(it);
         it.increment(error)) {
        if (it->is_symlink()) {
            const auto target = fs::read_symlink(it->path()).string();
            Require(extract::LinkStaysInside(target, static_cast<std::size_t>(it.depth())),
                    "a link points outside the new folder");
        }
    }
}

std::string RowOf(const std::string& archive, bool dry_run) {
    const auto native = MakeNativeFileSystem();
    testing::ReasonSink sink;
    extract::ExtractOptions options;
    options.dry_run = dry_run;
    // Small enough that a bomb is refused before it fills the disk.
    options.bounds = {std::uint64_t{64} << 20, 1000, std::uint64_t{1} << 20};
    extract::ExtractArchive(archive, *native, sink, options);
    Require(sink.rows.size() == 1, "one row per archive");
    return sink.rows[0].second + sink.reasons[0];
}

}  // namespace
}  // namespace karuneo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace karuneo::fuzz;
    const fs::path archive = Place() / "sub" / "arc.tar";
    std::ofstream(archive, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const std::string preview = RowOf(archive.string(), true);
    Require(Names(Place() / "sub") == std::set<std::string>{"arc.tar"}, "the dry run made nothing");
    const std::string row = RowOf(archive.string(), false);
    Require(row == preview, "the dry run tells the real run's row");
    Require(Names(Place()) == std::set<std::string>{"outside", "sub"}, "nothing beside sub");
    std::ifstream kept(Place() / "outside");
    std::string text;
    kept >> text;
    Require(text == "keep", "the file outside is untouched");
    auto names = Names(Place() / "sub");
    names.erase("arc.tar");
    Require(names.size() <= 1, "at most the new folder beside the archive");
    if (!names.empty()) {
        Require(*names.begin() == "arc", "the new folder has the archive's name");
        CheckLinks(Place() / "sub" / "arc");
        fs::remove_all(Place() / "sub" / "arc");  // never follows a link
    }
    return 0;
}
