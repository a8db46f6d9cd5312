#include "engine/dry_run/dry_run_file_system.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
// iwyu 8.18 takes std::move's result type for a use of <type_traits>.
// IWYU pragma: no_include <type_traits>

#include "engine/dry_run/name_key.h"
#include "engine/dry_run/name_rules.h"
#include "engine/dry_run/overlay_folder.h"
#include "engine/dry_run/terminal_token.h"
#include "engine/dry_run/write_access.h"
#include "engine/entry_path.h"
#include "engine/path_separator.h"

namespace karuneo::dry_run {
namespace {

// A leading "" stands for a path that starts at a separator.
std::vector<std::string> RootKey(const std::string& root) {
    std::vector<std::string> key;
    if (!root.empty() && kPathSeparators.find(root.front()) != std::string_view::npos) {
        key.emplace_back();
    }
    std::size_t start = 0;
    while (start <= root.size()) {
        const auto end = std::min(root.find_first_of(kPathSeparators, start), root.size());
        std::string name = root.substr(start, end - start);
        if (!name.empty() && name != ".") {
            key.push_back(std::move(name));
        }
        start = end + 1;
    }
    return key;
}

// The names by which `inner` lies below `outer`; nothing when it does not, or
// when ".." makes that impossible to tell from the text alone.
std::optional<std::vector<std::string>> NamesBelow(const std::vector<std::string>& outer,
                                                   const std::vector<std::string>& inner) {
    if (inner.size() < outer.size() || !std::equal(outer.begin(), outer.end(), inner.begin())) {
        return std::nullopt;
    }
    std::vector<std::string> below(inner.begin() + static_cast<std::ptrdiff_t>(outer.size()),
                                   inner.end());
    if (std::find(below.begin(), below.end(), "..") != below.end()) {
        return std::nullopt;
    }
    return below;
}

const FolderAccess& AccessTo(OverlayFolder& folder) {
    if (!folder.write_access) {
        folder.write_access = FolderWriteAccess(folder.source);
    }
    return *folder.write_access;
}

// Each failure names `changed`, the entry a real run would fail to change.
Failure Named(Failure access, const EntryPath& changed) {
    if (access) {
        access.entry = changed.Below();
    }
    return access;
}

Failure AddingAccess(OverlayFolder& folder, const EntryPath& changed) {
    return Named(AccessTo(folder).adding, changed);
}

Failure TakingAccess(OverlayFolder& folder, const EntryPath& changed) {
    return Named(AccessTo(folder).taking, changed);
}

// The entry's own flags, asked where it stands on disk now.
Failure OwnAccess(const OverlayFolder& folder, const std::string& name, const EntryPath& changed) {
    return Named(EntryChangeAccess(folder.OnDisk(name)), changed);
}

// The refusal a real run meets for a name the system lists but cannot
// change: no system code, so that it reads as the walk's own refusal of a
// name, on every layer alike.
Failure NameRefusal(const std::string& name, const EntryPath& changed) {
    if (IsPlainName(name) && SystemTakesName(name)) {
        return {};
    }
    Failure refused(kBadFileName, 0, changed.Below());
    refused.name = name;
    return refused;
}

bool IsSpecialName(const std::string& name) {
    return name.empty() || name == "." || name == "..";
}

// A path below the dropped folder, as the lines show it.
std::string Shown(const EntryPath& path) {
    std::string joined;
    for (const auto& name : path.Names()) {
        joined += (joined.empty() ? "" : std::string(1, kPathSeparator)) + name;
    }
    return TerminalToken(joined);
}

}  // namespace

DryRunFileSystem::DryRunFileSystem(FileSystem& inner, std::ostream& operations)
    : inner_(inner), operations_(operations) {}

DryRunFileSystem::~DryRunFileSystem() = default;

// Only a prefix of the path's names can name a dropped folder it lies in, so
// each prefix is looked up, the longest first: the cost grows with the
// path's depth, not with the number of folders dropped.
DryRunFileSystem::RootMatch DryRunFileSystem::MatchRoot(const EntryPath& root) const {
    RootMatch match{RootKey(root.Root()), nullptr, {}};
    for (auto length = match.key.size() + 1; length-- > 0;) {
        const auto found = roots_.find(std::vector<std::string>(
            match.key.begin(), match.key.begin() + static_cast<std::ptrdiff_t>(length)));
        if (found == roots_.end()) {
            continue;
        }
        // A ".." below this one is below every shorter one too.
        if (auto below = NamesBelow(found->first, match.key)) {
            match.base = found->second.get();
            match.below = std::move(*below);
        }
        break;
    }
    return match;
}

OverlayFolder& DryRunFileSystem::AddRoot(const RootMatch& match, const EntryPath& root) {
    auto folder = std::make_unique<OverlayFolder>(EntryPath(root.Root()));
    TakeInEarlierRoots(*folder, match.key);
    return *(roots_[match.key] = std::move(folder));
}

// A dropped folder given before one it lies in carries changes that the
// later one must see at that place.
void DryRunFileSystem::TakeInEarlierRoots(OverlayFolder& root,
                                          const std::vector<std::string>& key) {
    // Every path that starts with `key` sorts right after it, together.
    for (auto it = roots_.lower_bound(key); it != roots_.end();) {
        if (it->first.size() < key.size() ||
            !std::equal(key.begin(), key.end(), it->first.begin())) {
            break;
        }
        const auto below = NamesBelow(key, it->first);
        if (!below || below->empty()) {
            ++it;
            continue;
        }
        std::vector<std::string> parent_names(below->begin(), below->end() - 1);
        const auto parent = Descend(&root, parent_names);
        const std::string& name = below->back();
        if (!parent.ok() || Load(*parent.value()) || !parent.value()->Find(name) ||
            !parent.value()->Find(name)->is_folder) {
            ++it;  // not a folder of this tree as it stands: it stays apart
            continue;
        }
        parent.value()->opened[NameKey(name)] = std::move(it->second);
        it = roots_.erase(it);
    }
}

Result<OverlayFolder*> DryRunFileSystem::Resolve(const EntryPath& folder) {
    const RootMatch match = MatchRoot(EntryPath(folder.Root()));
    OverlayFolder* root = match.base;
    if (root == nullptr) {
        root = &AddRoot(match, folder);
    } else if (!match.below.empty()) {
        const auto reached = Descend(root, match.below);
        if (!reached.ok()) {
            return reached;
        }
        root = reached.value();
    }
    return Descend(root, folder.Names());
}

Result<OverlayFolder*> DryRunFileSystem::Descend(OverlayFolder* folder,
                                                 const std::vector<std::string>& names) {
    EntryPath reached(std::string{});
    for (const auto& name : names) {
        if (auto error = Load(*folder)) {
            return error;
        }
        reached = reached.Child(name);
        const Entry* entry = folder->Find(name);
        if (entry == nullptr || !entry->is_folder) {
            return Failure(kPathNotFound, 0, reached.Below());
        }
        folder = &folder->Subfolder(name);
    }
    return folder;
}

// Only where the walk changes a folder it has not listed to the end does the
// dry run list it on its own.
Result<OverlayFolder*> DryRunFileSystem::LoadedParent(const EntryPath& entry) {
    auto parent = Resolve(entry.Parent());
    if (!parent.ok()) {
        return parent;
    }
    if (auto error = Load(*parent.value())) {
        return error;
    }
    return parent;
}

Failure DryRunFileSystem::Load(OverlayFolder& folder) {
    if (folder.on_disk) {
        return {};
    }
    NameMap<Entry> on_disk;
    Failure error = inner_.ListEntries(folder.source, [&on_disk](const Entry& entry) {
        on_disk.emplace(NameKey(entry.name), entry);
        return true;
    });
    if (!error) {
        folder.on_disk = std::move(on_disk);
    }
    return error;
}

Result<std::string> DryRunFileSystem::FolderName(const EntryPath& folder) {
    const RootMatch match = MatchRoot(EntryPath(folder.Root()));
    if (folder.IsRoot() && (match.base == nullptr || match.below.empty())) {
        return inner_.FolderName(folder);  // a dropped folder itself never changes
    }
    if (folder.IsRoot()) {
        return DroppedFolderWithin(*match.base, match.below, folder);
    }
    const auto resolved = Resolve(folder);
    if (!resolved.ok()) {
        return resolved.error();
    }
    return folder.LastName();
}

// A dropped folder inside one given before it: it may be gone or renamed by
// now. One path the disk follows is left to the disk: a dropped link that
// still stands where it stood.
Result<std::string> DryRunFileSystem::DroppedFolderWithin(OverlayFolder& earlier,
                                                          const std::vector<std::string>& below,
                                                          const EntryPath& folder) {
    const std::vector<std::string> parent_names(below.begin(), below.end() - 1);
    const auto parent = Descend(&earlier, parent_names);
    if (!parent.ok() || Load(*parent.value())) {
        return Failure(kPathNotFound);
    }
    const Entry* entry = parent.value()->Find(below.back());
    if (entry == nullptr) {
        return Failure(kPathNotFound);
    }
    if (entry->is_folder) {
        const std::string name = folder.LastName();
        return IsSpecialName(name)
                   ? inner_.FolderName(parent.value()->Subfolder(below.back()).source)
                   : Result<std::string>{name};
    }
    // A link that an earlier folder moved here is asked where it stood:
    // right when it leads to an absolute path, but a relative one may lead
    // elsewhere from its new place, which nothing here can read.
    const auto arrival = parent.value()->arrived.find(NameKey(below.back()));
    const EntryPath stood = arrival != parent.value()->arrived.end()
                                ? arrival->second.stood_in->Child(entry->name)
                                : parent.value()->source.Child(entry->name);
    const auto there = inner_.FolderName(EntryPath(stood.Joined()));
    if (!there.ok()) {
        return there.error();
    }
    return folder.LastName();
}

// Only where the folder still stands on disk: one the preview has renamed
// is claimed by its place there.
Failure DryRunFileSystem::ClaimFolder(const EntryPath& folder) {
    const auto resolved = Resolve(folder);
    return resolved.ok() ? inner_.ClaimFolder(resolved.value()->source) : Failure();
}

Failure DryRunFileSystem::ListEntries(const EntryPath& folder, const EntryVisitor& visit) {
    const auto resolved = Resolve(folder);
    if (!resolved.ok()) {
        return resolved.error();
    }
    OverlayFolder& state = *resolved.value();
    // The walk's own listing goes to the disk as it would in a real run, and
    // runs to its end so that later checks of names need no listing of their own.
    NameMap<Entry> on_disk;
    bool stopped = false;
    Failure error = inner_.ListEntries(state.source, [&](const Entry& entry) {
        std::string key = NameKey(entry.name);
        if (!stopped && !state.gone.contains(key)) {
            stopped = !visit(entry);
        }
        if (!state.on_disk) {
            on_disk.emplace(std::move(key), entry);
        }
        return true;
    });
    if (error) {
        return stopped ? Failure() : error;  // a real run would not have read that far
    }
    if (!state.on_disk) {
        state.on_disk = std::move(on_disk);
    }
    for (auto it = state.arrived.begin(); !stopped && it != state.arrived.end(); ++it) {
        stopped = !visit(it->second.entry);
    }
    return {};
}

Failure DryRunFileSystem::CheckMove(OverlayFolder& from, const std::string& name, OverlayFolder& to,
                                    const std::string& new_name, const EntryPath& moved_path) {
    if (auto error = Load(from)) {
        return error;
    }
    if (auto error = Load(to)) {
        return error;
    }
    const Entry* moved = from.Find(name);
    if (moved == nullptr) {
        return {kPathNotFound, 0, moved_path.Below()};
    }
    if (auto error = NameRefusal(name, moved_path)) {
        return error;
    }
    if (to.Find(new_name) != nullptr) {
        return {kFileAlreadyExists, 0, moved_path.Below()};
    }
    if (auto error = TakingAccess(from, moved_path)) {
        return error;
    }
    if (auto error = OwnAccess(from, name, moved_path)) {
        return error;
    }
    if (&from == &to) {
        return {};
    }
    if (auto error = AddingAccess(to, moved_path)) {
        return error;
    }
    // A folder that changes its parent has its own link to the parent changed.
    return moved->is_folder ? AddingAccess(from.Subfolder(name), moved_path) : Failure();
}

Failure DryRunFileSystem::RenamePlainFolder(const EntryPath& folder, const std::string& target) {
    const auto parent = Resolve(folder.Parent());
    if (!parent.ok()) {
        return parent.error();
    }
    OverlayFolder& where = *parent.value();
    if (auto error = CheckMove(where, folder.LastName(), where, target, folder)) {
        return error;
    }
    OverlayEntry renamed = where.Take(folder.LastName());
    const bool back = renamed.folder != nullptr &&
                      renamed.folder->source.Joined() == where.source.Child(target).Joined();
    renamed.entry.name = target;
    where.Put(std::move(renamed));
    Print(folder, std::string(back ? "rename back " : "rename ") + Shown(folder) + " -> " +
                      TerminalToken(target));
    return {};
}

Result<std::unique_ptr<EntryMover>> DryRunFileSystem::OpenMove(const EntryPath& from,
                                                               const EntryPath& to) {
    const auto source = Resolve(from);
    if (!source.ok()) {
        return source.error();
    }
    const auto target = Resolve(to);
    if (!target.ok()) {
        return target.error();
    }
    return {std::make_unique<MoverCalling>([this, &from_folder = *source.value(),
                                            &to_folder = *target.value(), from,
                                            to](const std::string& name) {
        const EntryPath moved = from.Child(name);
        if (auto error = CheckMove(from_folder, name, to_folder, name, moved)) {
            return error;
        }
        to_folder.Put(from_folder.Take(name));
        Print(from, "move " + Shown(moved) + " -> " + Shown(to.Child(name)));
        return Failure();
    })};
}

Failure DryRunFileSystem::RemoveEmptyChild(const EntryPath& folder) {
    const auto parent = LoadedParent(folder);
    if (!parent.ok()) {
        return parent.error();
    }
    const std::string name = folder.LastName();
    const Entry* entry = parent.value()->Find(name);
    if (entry == nullptr || !entry->is_folder) {
        return {kPathNotFound, 0, folder.Below()};
    }
    if (auto error = NameRefusal(name, folder)) {
        return error;
    }
    if (auto error = TakingAccess(*parent.value(), folder)) {
        return error;
    }
    if (auto error = OwnAccess(*parent.value(), name, folder)) {
        return error;
    }
    OverlayFolder& removed = parent.value()->Subfolder(name);
    if (auto error = Load(removed)) {
        return error;
    }
    if (!removed.IsEmpty()) {
        return {kFolderNotEmpty, 0, folder.Below()};
    }
    parent.value()->Take(name);
    Print(folder, "remove " + Shown(folder));
    return {};
}

Failure DryRunFileSystem::CreateChildFolder(const EntryPath& folder) {
    const auto parent = LoadedParent(folder);
    if (!parent.ok()) {
        return parent.error();
    }
    const std::string name = folder.LastName();
    if (parent.value()->Find(name) != nullptr) {
        return {kFileAlreadyExists, 0, folder.Below()};
    }
    if (auto error = NameRefusal(name, folder)) {
        return error;
    }
    if (auto error = AddingAccess(*parent.value(), folder)) {
        return error;
    }
    // A folder that is not on the disk: it holds nothing but what arrives.
    auto created = std::make_unique<OverlayFolder>(parent.value()->source.Child(name));
    created->on_disk.emplace();
    created->write_access = FolderAccess{};  // made by this user, open to this user
    Entry entry;
    entry.name = name;
    entry.is_folder = true;
    parent.value()->Put({entry, std::move(created), nullptr});
    Print(folder, "create " + Shown(folder));
    return {};
}

Failure DryRunFileSystem::SetChildLook(const EntryPath& folder, const FolderLook& look,
                                       LookNotRestored* not_restored) {
    const auto reached = Resolve(folder);
    if (!reached.ok()) {
        return reached.error();
    }
    char mode[16];
    std::snprintf(mode, sizeof mode, "%o", static_cast<unsigned>(look.mode));
    Print(folder, "restore " + Shown(folder) + " mode " + mode + " and times");
    (void)not_restored;
    return {};
}

void DryRunFileSystem::Print(const EntryPath& where, const std::string& line) {
    if (!printed_any_ || where.Root() != last_root_) {
        operations_ << "in " << TerminalToken(where.Root()) << '\n';
        last_root_ = where.Root();
        printed_any_ = true;
    }
    operations_ << line << '\n';
}

}  // namespace karuneo::dry_run
