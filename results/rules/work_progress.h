#pragma once

#include <cstddef>
#include <string>

namespace karuneo {

// What the work in hand is doing, so that a window can say so.
enum class WorkPhase {
    kIdle,
    kMoving,       // a folder being flattened
    kPuttingBack,  // a stopped run being put back as it was
    kUndoing,      // 元に戻す
    kFinishing,    // a run cut off by a crash being finished
    kLookingBack,  // reading what earlier sessions left, at start
    kExtracting,   // a dropped archive being extracted, then un-nested
};

// What a window shows while work goes on; a copy, safe to read anywhere.
struct WorkProgress {
    WorkPhase phase = WorkPhase::kIdle;
    std::string folder;            // the dropped path in hand
    long long done = 0;            // entries moved (or moved back) so far
    long long total = 0;           // 0 until known
    unsigned long long bytes = 0;  // extracted so far, while extracting
    std::size_t waiting = 0;       // folders queued behind it
    bool stopping = false;         // asked to stop, and not stopped yet
    bool can_stop = false;         // whether 中止 would do anything now

    bool busy() const { return phase != WorkPhase::kIdle; }
};

}  // namespace karuneo
