#include "engine/run/run_recorder.h"

#include <cassert>

namespace karuneo {

// A step out of order is the executor's fault, never the disk's: it is caught
// where the tests run, and a release build records what it is told.
void RunRecorder::Enter(RunState next) {
    assert(next >= state_);
    state_ = next;
}

void RunRecorder::Begin(const FlattenPlan& plan, const std::string& temp) {
    Enter(RunState::kBegun);
    OnBegin(plan, temp);
}

void RunRecorder::Moved(const std::string& name) {
    Enter(RunState::kMoving);
    OnMoved(name);
}

void RunRecorder::Removed(const EntryPath& folder) {
    Enter(RunState::kRemoving);
    OnRemoved(folder);
}

void RunRecorder::Settled(ChainPlace place) {
    Enter(RunState::kSettled);
    OnSettled(place);
}

void RunRecorder::Close() {
    Enter(RunState::kClosed);
    OnClose();
}

}  // namespace karuneo
