#include "engine/testing/failing_file_system.h"

#include "engine/entry_path.h"

namespace karuneo::testing {

std::string_view OperationName(Operation operation) {
    switch (operation) {
        case Operation::kFolderName:
            return "FolderName";
        case Operation::kListEntries:
            return "ListEntries";
        case Operation::kRenameFolder:
            return "RenameFolder";
        case Operation::kMoveEntries:
            return "MoveEntries";
        case Operation::kRemoveEmptyFolder:
            return "RemoveEmptyFolder";
        case Operation::kIdentify:
            return "Identify";
        case Operation::kCreateFolder:
            return "CreateFolder";
        case Operation::kSetFolderLook:
            return "SetFolderLook";
    }
    return "";
}

Failure FailingFileSystem::Count(Operation operation, const EntryPath& entry) {
    ++calls_;
    if (on_call_) {
        on_call_(calls_, operation);
    }
    const bool nth_of_operation =
        operation == fail_operation_ && ++fail_operation_calls_ == fail_operation_nth_;
    if (killed()) {
        return {kDeviceIoError, 0, entry.Below()};
    }
    if (calls_ != fail_at_ && !nth_of_operation) {
        return {};
    }
    failed_ = true;
    Failure error = fail_error_;
    if (error.entry.empty()) {
        error.entry = entry.Below();
    }
    return error;
}

Result<std::string> FailingFileSystem::FolderName(const EntryPath& folder) {
    if (auto error = Count(Operation::kFolderName, folder)) {
        return error;
    }
    return inner_.FolderName(folder);
}

Failure FailingFileSystem::ListEntries(const EntryPath& folder, const EntryVisitor& visit) {
    if (auto error = Count(Operation::kListEntries, folder)) {
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

Failure FailingFileSystem::RenamePlainFolder(const EntryPath& folder, const std::string& new_name) {
    if (auto error = Count(Operation::kRenameFolder, folder)) {
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

// Each entry is moved by a call of its own below, so that a failure counted
// for one entry leaves the ones before it moved.
Result<std::unique_ptr<EntryMover>> FailingFileSystem::OpenMove(const EntryPath& from,
                                                                const EntryPath& to) {
    return {std::make_unique<MoverCalling>([this, from, to](const std::string& name) {
        if (auto error = Count(Operation::kMoveEntries, from.Child(name))) {
            return error;
        }
        return inner_.MoveEntries(from, {&name, 1}, to);
    })};
}

Result<Identity> FailingFileSystem::Identify(const EntryPath& entry) {
    if (auto error = Count(Operation::kIdentify, entry)) {
        return error;
    }
    return inner_.Identify(entry);
}

Result<FolderLook> FailingFileSystem::LookOfFolder(const EntryPath& folder) {
    if (auto error = Count(Operation::kIdentify, folder)) {
        return error;
    }
    return inner_.LookOfFolder(folder);
}

Failure FailingFileSystem::CreateChildFolder(const EntryPath& folder) {
    if (auto error = Count(Operation::kCreateFolder, folder)) {
        return error;
    }
    return inner_.CreateFolder(folder);
}

Failure FailingFileSystem::SetChildLook(const EntryPath& folder, const FolderLook& look,
                                        LookNotRestored* not_restored) {
    if (auto error = Count(Operation::kSetFolderLook, folder)) {
        return error;
    }
    return inner_.SetFolderLook(folder, look, not_restored);
}

Failure FailingFileSystem::RemoveEmptyChild(const EntryPath& folder) {
    if (auto error = Count(Operation::kRemoveEmptyFolder, folder)) {
        return error;
    }
    return inner_.RemoveEmptyFolder(folder);
}

}  // namespace karuneo::testing
