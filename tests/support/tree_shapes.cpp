#include "tests/support/tree_shapes.h"

#include "tests/support/walk_harness.h"

namespace karuneo::testing {

const std::vector<TreeShape>& SweepShapes() {
    static const std::string kTemp(kQueuedTempName);
    static const std::vector<TreeShape> shapes = {
        {"ChainOfFilesAndAFolder", {"A/B/f1", "A/B/f2", "A/B/G/g"}},
        {"HiddenFolderBesideTheChain", {"A/.git/c", "A/B/f"}},
        {"HiddenFileInTheSingleSubfolder", {"A/f", "A/.f"}},
        {"NamedLikeTheTop", {"A/A/A/z", "A/A/x"}},
        {"EmptySingleSubfolder", {"A/"}},
        {"NotNested", {"A/x", "b"}},
        {"FilesAndFolders", {"A/B/C/f1", "A/B/C/f2", "A/B/C/f3", "A/B/C/G/g", "A/B/C/H/"}},
        {"ChainOfThree", {"A/B/C/f"}},
        {"ChainOfFive", {"A/B/C/D/E/f1", "A/B/C/D/E/f2"}},
        {"HiddenEntryInTheDroppedFolder", {".h", "A/B/f"}},
        {"HiddenEntryHalfWayDown", {"A/B/.h", "A/B/C/f"}},
        {"HiddenEntriesAtEveryLevel", {".d", "A/.a", "A/B/.b", "A/B/C/.c", "A/B/C/f"}},
        {"ChainNamedLikeItsDeepestEntries", {"f/f/f", "f/f/g"}},
        {"DeepestEntriesNamedLikeTheChain", {"A/B/A", "A/B/B/x"}},
        {"JapaneseNames", {"アーカイブ/資料/報告書.txt", "アーカイブ/資料/写真/画像.png"}},
        {"EmptyDeepestFolder", {"A/B/C/"}},
        {"FolderNamedLikeTheTemporaryName", {"A/B/" + kTemp + "/x", "A/B/f"}},
        {"FolderNamedLikeAnyTemporaryName", {"A/B/karuneo1234abcd/x", "A/B/f"}},
        {"OnlyFoldersInTheDeepest", {"A/B/G/g", "A/B/H/"}},
        {"SpacesAndDots", {"A/B/read me.txt", "A/B/a.b.c", "A/B/.config/x"}},
        {"TenFiles",
         {"A/B/f0", "A/B/f1", "A/B/f2", "A/B/f3", "A/B/f4", "A/B/f5", "A/B/f6", "A/B/f7", "A/B/f8",
          "A/B/f9"}},
    };
    return shapes;
}

}  // namespace karuneo::testing
