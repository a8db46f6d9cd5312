#pragma once

#include <QApplication>
#include <QCursor>
#include <memory>
#include <vector>

#include "engine/file_system.h"
#include "engine/native_file_system.h"

namespace karuneo::testing {

// The native file system, noting the pointer shape whenever the engine
// looks a dropped folder up.
class CursorProbe final : public FileSystem {
  public:
    explicit CursorProbe(std::vector<Qt::CursorShape>& shapes)
        : shapes_(shapes), native_(MakeNativeFileSystem()) {}

    Result<std::string> FolderName(const EntryPath& folder) override {
        const QCursor* cursor = QApplication::overrideCursor();
        shapes_.push_back(cursor != nullptr ? cursor->shape() : Qt::ArrowCursor);
        return native_->FolderName(folder);
    }
    ErrorNumber ListEntries(const EntryPath& folder, const EntryVisitor& visit) override {
        return native_->ListEntries(folder, visit);
    }
    ErrorNumber RenameFolder(const EntryPath& folder, std::string_view new_name) override {
        return native_->RenameFolder(folder, new_name);
    }
    std::string GetTempName() override { return native_->GetTempName(); }
    ErrorNumber MoveEntries(const EntryPath& from, std::span<const std::string> names,
                            const EntryPath& to) override {
        return native_->MoveEntries(from, names, to);
    }
    ErrorNumber RemoveEmptyFolder(const EntryPath& folder) override {
        return native_->RemoveEmptyFolder(folder);
    }

  private:
    std::vector<Qt::CursorShape>& shapes_;
    std::unique_ptr<FileSystem> native_;
};

}  // namespace karuneo::testing
