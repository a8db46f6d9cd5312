// Entries named like journals that a POSIX system can make and Windows
// cannot: a pipe hung every run, a link led a read elsewhere.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/journal/journal_file.h"
#include "engine/journal/recovery.h"
#include "tests/support/temp_tree.h"

namespace karuneo {
namespace {

TEST(JournalFilePosixTest, APipeOrALinkNamedLikeAJournalIsSkippedAndRefusedWithoutWaiting) {
    testing::TempTree tree;
    tree.Add({"journal/", "elsewhere.journal", "journal/link.journal->../elsewhere.journal"});
    const std::string folder = tree.Path("journal");
    ASSERT_EQ(::mkfifo((folder + "/pipe.journal").c_str(), 0600), 0);
    EXPECT_EQ(journal::ListJournals(folder), std::vector<std::string>{});
    EXPECT_EQ(journal::CutOffJournals(folder), std::vector<std::string>{});
    for (const char* name : {"/pipe.journal", "/link.journal"}) {
        EXPECT_FALSE(journal::ReadJournal(folder + name).ok()) << name;
        EXPECT_FALSE(journal::JournalFile::OpenExisting(folder + name).ok()) << name;
    }
    EXPECT_EQ(journal::ReadJournal(folder + "/link.journal").error(), kPathFileAccessError);
}

TEST(JournalFilePosixTest, AnUnnamedJournalStaysWhileItsCreatorHoldsIt) {
    testing::TempTree tree;
    tree.Add({"journal/held.journal-new"});
    const int held = ::open(tree.Path("journal/held.journal-new").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    journal::PruneJournals(tree.Path("journal"));
    EXPECT_TRUE(std::filesystem::exists(tree.Path("journal/held.journal-new")));
    ::close(held);
}

}  // namespace
}  // namespace karuneo
