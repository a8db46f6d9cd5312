#include "engine/extract/extraction_record.h"

#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/error_number.h"
#include "engine/extract/extract_journal.h"
#include "engine/extract/extracted_tree.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"

namespace karuneo::extract {

ExtractionRecord::ExtractionRecord(const std::string& journal_folder)
    : folder_(ExtractJournalFolder(journal_folder)) {}

ExtractionRecord::~ExtractionRecord() = default;

void ExtractionRecord::Append(const std::string& text, bool sync) {
    if (!file_ || broken_) {
        return;
    }
    // A journal that failed once is written no further: a recovery acts on
    // what it says, never on a line after a gap.
    broken_ = file_->Append(text) || (sync && file_->Sync());
}

void ExtractionRecord::Begin(const std::string& archive, const std::string& parent,
                             const std::string& temp) {
    if (folder_.empty()) {
        return;
    }
    auto created = journal::JournalFile::CreateNew(folder_);
    if (!created.ok()) {
        return;
    }
    file_ = std::move(created).value();
    Append(HeadLines(journal::AbsolutePath(archive), journal::AbsolutePath(parent), temp), true);
}

void ExtractionRecord::Made(const std::string& temp_path) {
    const auto identity = IdentityOfPath(temp_path);
    if (identity.ok()) {
        Append(MadeLine(identity.value()), true);
    } else {
        broken_ = true;
    }
}

void ExtractionRecord::Finished(const std::string& temp_path) {
    if (!file_ || broken_) {
        return;
    }
    const auto entries = ListTree(temp_path);
    if (!entries.ok()) {
        broken_ = true;
        return;
    }
    std::string lines;
    for (const auto& entry : entries.value()) {
        lines += EntryLine(entry);
    }
    // Synced with the name that follows: a recovery needs neither, and an
    // undo of a folder whose entries never reached the disk is refused.
    Append(lines, false);
}

void ExtractionRecord::Named(const std::string& name) {
    Append(NamedLine(name) + std::string(journal::kCloseLine), true);
}

void ExtractionRecord::Closed() {
    Append(std::string(journal::kCloseLine), true);
}

}  // namespace karuneo::extract
