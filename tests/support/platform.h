#pragma once

#include <filesystem>
#include <string>

namespace karuneo::testing {

// POSIX names are bytes; Windows names are UTF-16, which bytes that are not
// UTF-8 cannot spell.
#ifdef _WIN32
inline constexpr bool kNamesAreBytes = false;
#else
inline constexpr bool kNamesAreBytes = true;
#endif

// More entries than a 16-bit count holds where creating them is quick. Wine creates files about a
// hundred times slower than Linux, so there a folder of many entries is smaller.
#ifdef _WIN32
inline constexpr int kManyEntries = 2'000;
#else
inline constexpr int kManyEntries = 40'000;
#endif

// Test names are UTF-8 everywhere; on POSIX a path is the very bytes, which
// keeps names that are not valid UTF-8 intact.
std::filesystem::path PathFromUtf8(const std::string& text);

// A path as the tables of cases and the snapshots spell it: UTF-8, "/" between
// names.
std::string GenericUtf8(const std::filesystem::path& path);

// A path as the engine takes it: UTF-8, with the platform's separators.
std::string NativeUtf8(const std::filesystem::path& path);

// Test trees hide entries the POSIX way, by a leading "."; on Windows such an
// entry is also given the hidden attribute, so that one table of cases means
// the same on both.
void HideLikeADotName(const std::filesystem::path& entry);

// Sets an entry's modification time, a folder's too: the library's own call
// cannot open a folder on Windows.
void SetModifiedTime(const std::filesystem::path& entry, std::filesystem::file_time_type time);
// The entry's modification time as the system keeps it, in its own units:
// mingw-w64's C++ library reads it to the second only, and not always the
// same second.
long long ModifiedTime(const std::filesystem::path& entry);

// The folder that test trees are made in, in a form that every call of the
// platform accepts past 260 characters.
std::filesystem::path TestTreesFolder();

// Points the journal of runs ($XDG_STATE_HOME, %LOCALAPPDATA% on Windows) at
// a folder of this test process, removed when it exits, so that no test, nor
// a tool it starts, writes the user's own. Returns that state folder.
const std::filesystem::path& KeepJournalsInTests();

// Whether this process may create symbolic links (Wine cannot; Windows only
// with developer mode or elevation).
bool CanCreateLinks();

// Whether this is Wine rather than Windows: Wine looks every path up one name
// at a time on the host, so a few cases on trees hundreds of levels deep
// would take minutes there and are left to Linux and real Windows.
bool RunsUnderWine();

}  // namespace karuneo::testing
