// The journal folder as runs share it: which run came last, what is taken
// for a journal, and what a reader refuses.
#include "engine/journal/journal_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/platform.h"
#include "tests/support/temp_tree.h"

namespace karuneo {
namespace {

namespace fs = std::filesystem;
using journal::JournalFile;

struct JournalFolder {
    testing::TempTree tree;
    std::string path = testing::NativeUtf8(tree.root() / "journal");

    std::string Entry(const std::string& name) const {
        return testing::NativeUtf8(fs::path(path) / name);
    }
    std::string NewRun(const std::string& text = "run\n") const {
        auto file = JournalFile::CreateNew(path);
        EXPECT_TRUE(file.ok()) << file.error().system_code;
        EXPECT_FALSE(file.value()->Append(text));
        return file.value()->path();
    }
};

// A clock set back made a run named by its time look older than the one
// before it.
TEST(JournalFileTest, RunsComeInTheOrderTheyBeganWhateverTheirNamesSayOfTheClock) {
    JournalFolder folder;
    folder.tree.Add({"journal/20991231-235959-000000-1-00000000.journal",
                     "journal/20240101-000000-000000-1-00000000.journal",
                     "journal/run-000000000041.journal"});
    const std::string first = folder.NewRun();
    const std::string second = folder.NewRun();
    EXPECT_EQ(journal::JournalSequence(first), 42u);
    EXPECT_EQ(journal::ListJournals(folder.path),
              (std::vector<std::string>{folder.Entry("20240101-000000-000000-1-00000000.journal"),
                                        folder.Entry("20991231-235959-000000-1-00000000.journal"),
                                        folder.Entry("run-000000000041.journal"), first, second}));
}

TEST(JournalFileTest, RunsBegunAtOnceGetJournalsOfTheirOwnAndNoneIsSeenBeforeItIsLocked) {
    JournalFolder folder;
    ASSERT_TRUE(journal::native::MakeFolders(folder.path) == kNoError);
    std::atomic<bool> creating = true;
    std::vector<std::string> unlocked_and_empty;
    std::thread watcher([&] {
        while (creating) {
            for (const auto& path : journal::ListJournals(folder.path)) {
                if (!journal::JournalInUse(path) && journal::ReadJournal(path).value().empty()) {
                    unlocked_and_empty.push_back(path);
                }
            }
        }
    });
    std::vector<std::unique_ptr<JournalFile>> files(8);
    std::vector<std::thread> runs;
    for (auto& file : files) {
        runs.emplace_back([&] {
            for (int i = 0; i < 20; ++i) {
                folder.NewRun();
            }
            file = std::move(JournalFile::CreateNew(folder.path).value());
        });
    }
    for (auto& run : runs) {
        run.join();
    }
    creating = false;
    watcher.join();
    std::set<std::uint64_t> sequences;
    for (const auto& file : files) {
        ASSERT_NE(file, nullptr);
        sequences.insert(journal::JournalSequence(file->path()));
    }
    EXPECT_EQ(sequences.size(), files.size());
    EXPECT_EQ(journal::ListJournals(folder.path).size(), files.size() * 21);
    EXPECT_EQ(unlocked_and_empty, std::vector<std::string>{});
}

TEST(JournalFileTest, WhatIsNoRegularJournalIsNeitherListedNorReadAsAnEmptyOne) {
    JournalFolder folder;
    folder.tree.Add({"journal/folder.journal/", "journal/unnamed.journal-new"});
    EXPECT_EQ(journal::ListJournals(folder.path), std::vector<std::string>{});
    for (const char* name : {"folder.journal", "missing.journal"}) {
        EXPECT_FALSE(journal::ReadJournal(folder.Entry(name)).ok()) << name;
        EXPECT_FALSE(journal::ReadJournalTail(folder.Entry(name), 32).ok()) << name;
        EXPECT_FALSE(journal::JournalClosed(folder.Entry(name))) << name;
    }
    // What a CreateNew cut off before naming its journal left.
    journal::PruneJournals(folder.path);
    EXPECT_FALSE(fs::exists(folder.Entry("unnamed.journal-new")));
}

// A 2 GB journal made every run read all of it to warn of cut-off runs.
TEST(JournalFileTest, AnOversizedJournalIsRefusedUnreadWhileItsEndsStillRead) {
    JournalFolder folder;
    const std::string path = folder.NewRun("header\n");
    fs::resize_file(testing::PathFromUtf8(path), std::uintmax_t{2} << 30);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(journal::ReadJournal(path).ok());
    EXPECT_EQ(journal::ReadJournalHead(path, 7).value(), "header\n");
    EXPECT_EQ(journal::ReadJournalTail(path, 4).value(), std::string(4, '\0'));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

}  // namespace
}  // namespace karuneo
