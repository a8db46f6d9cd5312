#include "engine/dry_run/overlay_folder.h"

#include "engine/dry_run/name_key.h"

namespace karuneo::dry_run {

const Entry* OverlayFolder::Find(const std::string& name) const {
    const std::string key = NameKey(name);
    if (const auto arrival = arrived.find(key); arrival != arrived.end()) {
        return &arrival->second.entry;
    }
    if (gone.contains(key)) {
        return nullptr;
    }
    const auto stored = on_disk->find(key);
    return stored == on_disk->end() ? nullptr : &stored->second;
}

OverlayFolder& OverlayFolder::Subfolder(const std::string& name) {
    const std::string key = NameKey(name);
    if (const auto arrival = arrived.find(key); arrival != arrived.end()) {
        return *arrival->second.folder;
    }
    auto& state = opened[key];
    if (!state) {
        // The name as stored, which may differ from the one asked for in case.
        state = std::make_unique<OverlayFolder>(source.Child(on_disk->at(key).name));
    }
    return *state;
}

EntryPath OverlayFolder::OnDisk(const std::string& name) const {
    const std::string key = NameKey(name);
    if (const auto arrival = arrived.find(key); arrival != arrived.end()) {
        // Only folders are ever renamed; a file or link keeps its name.
        const OverlayEntry& entry = arrival->second;
        return entry.folder ? entry.folder->source : entry.stood_in->Child(entry.entry.name);
    }
    return source.Child(on_disk->at(key).name);
}

OverlayEntry OverlayFolder::Take(const std::string& name) {
    const std::string key = NameKey(name);
    if (auto arrival = arrived.extract(key)) {
        return std::move(arrival.mapped());
    }
    OverlayEntry taken{on_disk->at(key), nullptr, shared_source};
    if (taken.entry.is_folder) {
        taken.folder = std::move(opened[key]);
        if (!taken.folder) {
            taken.folder = std::make_unique<OverlayFolder>(source.Child(taken.entry.name));
        }
    }
    opened.erase(key);
    gone.insert(key);
    return taken;
}

void OverlayFolder::Put(OverlayEntry arriving) {
    std::string key = NameKey(arriving.entry.name);
    arrived.emplace(std::move(key), std::move(arriving));
}

}  // namespace karuneo::dry_run
