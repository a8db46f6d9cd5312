#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/support/platform.h"

namespace karuneo::testing {

std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(text);
}

std::string GenericUtf8(const std::filesystem::path& path) {
    return path.generic_string();
}

std::string NativeUtf8(const std::filesystem::path& path) {
    return path.string();
}

void HideLikeADotName(const std::filesystem::path&) {}

void SetModifiedTime(const std::filesystem::path& entry, std::filesystem::file_time_type time) {
    std::filesystem::last_write_time(entry, time);
}

long long ModifiedTime(const std::filesystem::path& entry) {
    return std::filesystem::last_write_time(entry).time_since_epoch().count();
}

std::filesystem::path TestTreesFolder() {
    return std::filesystem::temp_directory_path();
}

bool CanCreateLinks() {
    return true;
}

bool RunsUnderWine() {
    return false;
}

namespace {

long ProcessNumber() {
    return static_cast<long>(::getpid());
}

long creator = 0;

// Only by the process that made it: a child forked by a test exits too.
void RemoveTestState() {
    if (ProcessNumber() == creator) {
        std::error_code ignored;
        std::filesystem::remove_all(KeepJournalsInTests(), ignored);
    }
}

std::filesystem::path MakeTestState() {
    const auto state = TestTreesFolder() / ("karuneo-state-" + std::to_string(ProcessNumber()));
    std::filesystem::create_directories(state);
    ::setenv("XDG_STATE_HOME", state.c_str(), 1);
    creator = ProcessNumber();
    std::atexit(&RemoveTestState);
    return state;
}

}  // namespace

const std::filesystem::path& KeepJournalsInTests() {
    // Never destroyed, so that it is still there when the process exits.
    static const auto* state = new std::filesystem::path(MakeTestState());
    return *state;
}

}  // namespace karuneo::testing
