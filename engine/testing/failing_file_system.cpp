#include "engine/testing/failing_file_system.h"

namespace karuneo::testing {

ErrorNumber FailingFileSystem::Count(std::string_view operation) {
    ++calls_;
    if (on_call_) {
        on_call_(calls_, operation);
    }
    const bool nth_of_operation =
        operation == fail_operation_ && ++fail_operation_calls_ == fail_operation_nth_;
    if (calls_ != fail_at_ && !nth_of_operation) {
        return kNoError;
    }
    failed_ = true;
    return fail_error_;
}

Result<std::string> FailingFileSystem::FolderName(const EntryPath& folder) {
    if (const auto error = Count("FolderName")) {
        return {folder.LastName(), error};
    }
    return inner_.FolderName(folder);
}

ErrorNumber FailingFileSystem::ListEntries(const EntryPath& folder, const EntryVisitor& visit) {
    if (const auto error = Count("ListEntries")) {
        return error;
    }
    if (!rewrite_) {
        return inner_.ListEntries(folder, visit);
    }
    return inner_.ListEntries(folder, [this, &visit](const Entry& entry) {
        Entry rewritten = entry;
        rewrite_(rewritten);
        return visit(rewritten);
    });
}

ErrorNumber FailingFileSystem::RenameFolder(const EntryPath& folder, std::string_view new_name) {
    if (const auto error = Count("RenameFolder")) {
        return error;
    }
    return inner_.RenameFolder(folder, new_name);
}

std::string FailingFileSystem::GetTempName() {
    if (temp_names_.empty()) {
        return inner_.GetTempName();
    }
    std::string name = std::move(temp_names_.front());
    temp_names_.pop_front();
    return name;
}

ErrorNumber FailingFileSystem::MoveEntries(const EntryPath& from,
                                           std::span<const std::string> names,
                                           const EntryPath& to) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (const auto error = Count("MoveEntries")) {
            return error;
        }
        if (const auto error = inner_.MoveEntries(from, names.subspan(i, 1), to)) {
            return error;
        }
    }
    return kNoError;
}

ErrorNumber FailingFileSystem::RemoveEmptyFolder(const EntryPath& folder) {
    if (const auto error = Count("RemoveEmptyFolder")) {
        return error;
    }
    return inner_.RemoveEmptyFolder(folder);
}

}  // namespace karuneo::testing
