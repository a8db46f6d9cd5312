// For a build without libarchive: every archive gets a row that says so.
#include "engine/extract/archive_name.h"
#include "engine/extract/extract_recovery.h"
#include "engine/extract/extract_run.h"
#include "engine/path_separator.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"

namespace karuneo::extract {

bool CanExtract() {
    return false;
}

void ExtractArchive(const std::string& path, FileSystem& /*fs*/, ResultSink& sink,
                    const ExtractOptions& /*options*/, WalkControl& /*control*/) {
    const auto cut = path.find_last_of(kPathSeparators);
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    const bool archive = !FolderNameOfArchive(name).empty();
    sink.AddResultOfKind(
        name, archive ? RowStatus::kError : RowStatus::kUntouched,
        ExtractReason{archive ? ExtractProblem::kUnsupported : ExtractProblem::kNotAnArchive,
                      {},
                      {},
                      {},
                      0,
                      {}},
        RowKind::kArchive);
}

void RecoverCutOffExtractions(const std::string& /*journal_folder*/, ResultSink& /*sink*/,
                              bool /*dry_run*/) {}

std::vector<CutOffExtraction> CutOffExtractions(const std::string& /*journal_folder*/) {
    return {};
}

void RecoverCutOffExtraction(const std::string& /*journal_path*/, ResultSink& /*sink*/,
                             bool /*dry_run*/) {}

std::vector<KeptExtraction> KeptExtractions(const std::string& /*journal_folder*/) {
    return {};
}

bool UndoExtraction(const std::string& /*journal_folder*/, const std::string& /*path*/,
                    ResultSink& /*sink*/, bool /*dry_run*/) {
    return false;
}

}  // namespace karuneo::extract
