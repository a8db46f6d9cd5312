#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/error_number.h"

namespace karuneo::journal {

// Where the journals of this user's runs live: $XDG_STATE_HOME/karuneo/journal
// (by default ~/.local/state/karuneo/journal) on Linux,
// %LOCALAPPDATA%\karuneo\journal on Windows. Never inside a dropped folder.
// Empty when the environment names no such place.
std::string DefaultJournalFolder();

// One run's journal, open for appending. It stays locked while it is open,
// so that no other process takes a run still going for one that was cut off;
// a killed process lets go of it with everything else it held.
class JournalFile {
  public:
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // A new journal with a name that sorts after every earlier one; makes
    // the folder when it is missing.
    static Result<std::unique_ptr<JournalFile>> CreateNew(const std::string& folder);
    // An existing journal, to be finished or marked undone; kFileAlreadyExists
    // when a running process holds it.
    static Result<std::unique_ptr<JournalFile>> OpenExisting(const std::string& path);

    Failure Append(std::string_view text);
    // The file's contents on the disk, and the first time its folder's entry.
    Failure Sync();
    const std::string& path() const { return path_; }

  private:
    JournalFile(std::string path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}

    std::string path_;
    std::intptr_t handle_;
    bool folder_synced_ = false;
};

// The journals of a folder, oldest first, as full paths.
std::vector<std::string> ListJournals(const std::string& folder);
// A journal's place in the order of runs.
std::uint64_t JournalSequence(const std::string& path);
Result<std::string> ReadJournal(const std::string& path);
// Whether the journal ends in its closing record (or a later mark).
bool JournalClosed(const std::string& path);
// Whether a running process still writes this journal.
bool JournalInUse(const std::string& path);

// Keeps the newest runs and anything younger than a month; a journal that
// was cut off is kept whatever its age, since it waits to be finished.
void PruneJournals(const std::string& folder);

}  // namespace karuneo::journal

namespace karuneo::journal {

// The path made absolute against the current folder, so that a journal
// still names the folder when read from elsewhere.
std::string AbsolutePath(const std::string& path);

}  // namespace karuneo::journal

namespace karuneo::journal {

Failure RemoveJournal(const std::string& path);

}  // namespace karuneo::journal
