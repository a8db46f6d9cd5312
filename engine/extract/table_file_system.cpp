#include "engine/extract/table_file_system.h"

#include <cstddef>
#include <utility>
// iwyu 8.18 takes structured bindings of a map for uses of these.
// IWYU pragma: no_include <bits/utility.h>
// IWYU pragma: no_include <type_traits>

#include "engine/dry_run/name_key.h"
#include "engine/entry_path.h"

namespace karuneo::extract {
namespace {

using Node = TableFileSystem::Node;

void VisitBelow(const Node& folder, std::vector<std::string>& parts,
                const TableFileSystem::Visitor& visit) {
    for (const auto& [name, child] : folder.children) {
        parts.push_back(name);
        visit(parts, *child);
        VisitBelow(*child, parts, visit);
        parts.pop_back();
    }
}

class TableMover final : public EntryMover {
  public:
    TableMover(Node& from, Node& to) : from_(from), to_(to) {}
    Failure Move(const std::string& name) override {
        auto found = from_.children.find(name);
        if (found == from_.children.end()) {
            return Failure(kFileNotFound, 0, name);
        }
        if (to_.children.count(name) > 0) {
            return Failure(kFileAlreadyExists, 0, name);
        }
        to_.children.emplace(name, std::move(found->second));
        from_.children.erase(found);
        return {};
    }

  private:
    Node& from_;
    Node& to_;
};

}  // namespace

TableFileSystem::TableFileSystem(std::string root)
    : root_(EntryPath(std::move(root)).Root()), top_(std::make_unique<Node>()) {}

Node* TableFileSystem::FindParts(const std::vector<std::string>& parts) const {
    Node* node = top_.get();
    for (const auto& name : parts) {
        if (node->kind != EntryKind::kFolder) {
            return nullptr;
        }
        auto found = node->children.find(name);
        if (found == node->children.end()) {
            return nullptr;
        }
        node = found->second.get();
    }
    return node;
}

Node* TableFileSystem::Find(const EntryPath& path) {
    return path.Root() == root_ ? FindParts(path.Names()) : nullptr;
}

std::optional<std::size_t> TableFileSystem::Add(const std::vector<std::string>& parts,
                                                EntryKind kind, const std::string& link) {
    Node* node = top_.get();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (node->kind != EntryKind::kFolder) {
            return parts.size();
        }
        const bool last = i + 1 == parts.size();
        const auto found = node->children.find(parts[i]);
        if (found != node->children.end()) {
            if (last && (kind != EntryKind::kFolder || found->second->kind != EntryKind::kFolder)) {
                return parts.size();
            }
            node = found->second.get();
            continue;
        }
        // Where the disk takes it for a name already there, the part is
        // refused as the real run's making of it would be.
        if (!node->keys.insert(dry_run::NameKey(parts[i])).second) {
            return i + 1;
        }
        auto& child = node->children[parts[i]];
        child = std::make_unique<Node>();
        child->id = next_id_++;
        if (last) {
            child->kind = kind;
            child->link = link;
        }
        node = child.get();
    }
    return std::nullopt;
}

bool TableFileSystem::HoldsFile(const std::vector<std::string>& parts) const {
    const Node* node = FindParts(parts);
    return node != nullptr && node->kind == EntryKind::kFile;
}

void TableFileSystem::Visit(const Visitor& visit) const {
    std::vector<std::string> parts;
    VisitBelow(*top_, parts, visit);
}

Result<std::string> TableFileSystem::FolderName(const EntryPath& folder) {
    const Node* node = Find(folder);
    if (node == nullptr || node->kind != EntryKind::kFolder) {
        return Failure(kPathNotFound, 0, folder.Below());
    }
    return folder.LastName();
}

Failure TableFileSystem::ListEntries(const EntryPath& folder, const EntryVisitor& visit) {
    const Node* node = Find(folder);
    if (node == nullptr || node->kind != EntryKind::kFolder) {
        return Failure(kPathNotFound, 0, folder.Below());
    }
    for (const auto& [name, child] : node->children) {
        Entry entry;
        entry.name = name;
        entry.is_folder = child->kind == EntryKind::kFolder;
        entry.is_link = child->kind == EntryKind::kLink;
        entry.is_hidden = name.starts_with('.');
        entry.id = child->id;
        if (!visit(entry)) {
            break;
        }
    }
    return {};
}

Result<Identity> TableFileSystem::Identify(const EntryPath& entry) {
    const Node* node = Find(entry);
    if (node == nullptr) {
        return Failure(kPathNotFound, 0, entry.Below());
    }
    return Identity{1, node->id, node->kind};
}

Result<FolderLook> TableFileSystem::LookOfFolder(const EntryPath& folder) {
    if (Find(folder) == nullptr) {
        return Failure(kPathNotFound);
    }
    FolderLook look;
    look.mode = 0700;
    return look;
}

Failure TableFileSystem::RenamePlainFolder(const EntryPath& folder, const std::string& new_name) {
    Node* parent = Find(folder.Parent());
    if (parent == nullptr || parent->children.count(folder.LastName()) == 0) {
        return Failure(kPathNotFound, 0, folder.Below());
    }
    if (parent->children.count(new_name) > 0) {
        return Failure(kFileAlreadyExists, 0, folder.Below());
    }
    auto node = std::move(parent->children[folder.LastName()]);
    parent->children.erase(folder.LastName());
    parent->children.emplace(new_name, std::move(node));
    return {};
}

Result<std::unique_ptr<EntryMover>> TableFileSystem::OpenMove(const EntryPath& from,
                                                              const EntryPath& to) {
    Node* source = Find(from);
    Node* target = Find(to);
    if (source == nullptr || target == nullptr) {
        return Failure(kPathNotFound);
    }
    return std::unique_ptr<EntryMover>(std::make_unique<TableMover>(*source, *target));
}

Failure TableFileSystem::RemoveEmptyChild(const EntryPath& folder) {
    Node* parent = Find(folder.Parent());
    if (parent == nullptr || parent->children.count(folder.LastName()) == 0) {
        return Failure(kPathNotFound, 0, folder.Below());
    }
    const auto found = parent->children.find(folder.LastName());
    if (!found->second->children.empty()) {
        return Failure(kFolderNotEmpty, 0, folder.Below());
    }
    parent->children.erase(found);
    return {};
}

}  // namespace karuneo::extract
