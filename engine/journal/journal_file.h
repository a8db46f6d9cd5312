#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
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

// A run of a million entries writes about 50 MB; anything this big is not a
// journal this program wrote, and is refused unread.
inline constexpr std::size_t kMaxJournalBytes = std::size_t{1} << 30;
// Enough of a journal's beginning for its header, whatever the length of the
// folder's path: what a warning or a list of cut-off runs reads.
inline constexpr std::size_t kJournalHeadBytes = 64 * 1024;

// One run's journal, open for appending. It stays locked while it is open,
// so that no other process takes a run still going for one that was cut off;
// a killed process lets go of it with everything else it held.
class JournalFile {
  public:
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // A new journal whose sequence follows every earlier one's; makes the
    // folder when it is missing. No other process sees it before it is
    // locked.
    static Result<std::unique_ptr<JournalFile>> CreateNew(const std::string& folder);
    // The same for a batch of runs, which lists the folder once: with
    // `last_taken` 0 as CreateNew, else trying the sequences after it
    // (another process may have taken them meanwhile). The sequence taken
    // goes to `last_taken`.
    static Result<std::unique_ptr<JournalFile>> CreateNext(const std::string& folder,
                                                           std::uint64_t& last_taken);
    // An existing journal, to be finished or marked undone; kFileAlreadyExists
    // when a running process holds it.
    static Result<std::unique_ptr<JournalFile>> OpenExisting(const std::string& path);

    Failure Append(std::string_view text);
    // The file's contents on the disk, and the first time its folder's entry.
    Failure Sync();
    // Sync for many journals of one folder at once, as cheaply as the system
    // allows: a batch of runs pays for one sync, not one per run.
    static Failure SyncTogether(std::span<JournalFile* const> files);
    // Drops everything past the first `size` bytes: a torn last line, which
    // lines appended after it would otherwise run into.
    Failure CutTo(std::uint64_t size);
    const std::string& path() const { return path_; }

  private:
    JournalFile(std::string path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}

    // Created and locked under a name no listing takes for a journal.
    static Result<std::unique_ptr<JournalFile>> CreateUnnamed(const std::string& path);
    // Gives the file its journal's name; kFileAlreadyExists, and nothing
    // replaced, when another file has it.
    Failure TakeName(const std::string& path);

    std::string path_;
    std::intptr_t handle_;
    bool folder_synced_ = false;
};

// The journals of a folder, oldest run first, as full paths: regular files
// only, never a link, a folder or a pipe that bears the name.
std::vector<std::string> ListJournals(const std::string& folder);
// A journal's place among the runs; 0 for the journals named by the time
// their runs began, which came before any numbered one.
std::uint64_t JournalSequence(const std::string& path);
// A journal's text: a regular file only, not through a link, never more than
// kMaxJournalBytes. Anything else, or a failed read, is a failure.
Result<std::string> ReadJournal(const std::string& path);
// Its first or last `bytes` bytes, on the same terms: what naming a run or
// telling whether it was closed needs, whatever the journal's size.
Result<std::string> ReadJournalHead(const std::string& path, std::size_t bytes);
Result<std::string> ReadJournalTail(const std::string& path, std::size_t bytes);
// Whether the journal ends in its closing record (or a later mark).
bool JournalClosed(const std::string& path);
// Whether a running process still writes this journal.
bool JournalInUse(const std::string& path);
// When the journal was last written, in seconds since 1970 (UTC): its run's
// end, or a mark added later (undone, forgotten); 0 when it cannot be told.
std::int64_t JournalWrittenAt(const std::string& path);

// Keeps the newest runs and anything younger than a month; a journal that
// was cut off is kept whatever its age, since it waits to be finished.
// Clears what a CreateNew cut off before naming its journal left behind.
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

// What each system's own file gives the code all systems share; callers use
// the functions above.
namespace karuneo::journal::native {

// The name a journal file bears until it is locked, which ListJournals
// never lists.
inline constexpr std::string_view kUnnamedExtension = ".journal-new";

struct ByteRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};
// Which bytes of a file of `size` bytes a read takes: all of them, or its
// first or last `bytes`. None when the whole is asked for and is too big.
enum class Span { kWhole, kHead, kTail };
std::optional<ByteRange> RangeToRead(Span span, std::uint64_t size, std::size_t bytes);

// A regular file's bytes, opened without following a link or waiting on a
// pipe.
Result<std::string> ReadRegularFile(const std::string& path, Span span, std::size_t bytes);
// Whether the name is a regular file's own, not a link's or a folder's.
bool IsRegularFile(const std::string& path);
// Removes a file left unnamed by a CreateNew that was cut off; one that
// a process still holds stays.
void RemoveUnlessHeld(const std::string& path);
Failure MakeFolders(const std::string& folder);
char Separator();

}  // namespace karuneo::journal::native
