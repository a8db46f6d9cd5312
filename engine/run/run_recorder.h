#pragma once

#include <string>

#include "engine/error_number.h"
#include "engine/reason/row_reason.h"

namespace karuneo {
class EntryPath;
struct FlattenPlan;

// Where a run stands, in the order it passes through the states. A record
// of the run says the state it reached; whoever finishes a run that was cut
// off starts from there.
enum class RunState {
    kPlanned,   // nothing changed yet, nothing recorded
    kBegun,     // the plan is on the disk; the top is about to take its temporary name
    kMoving,    // entries are moving up
    kRemoving,  // the emptied chain is being removed
    kSettled,   // the chain has the name it keeps
    kClosed,    // everything above is on the disk
};

// Hears each step of a run as the executor takes it, and keeps the record
// that lets a run cut off at any point be finished or undone. The steps must
// come in the order of the states; the base class holds the state and
// passes each step on once it is known to be in order.
class RunRecorder {
  public:
    virtual ~RunRecorder() = default;

    RunState state() const { return state_; }
    // Why the record could not be kept; none while it is, or when there is
    // nothing to keep.
    virtual Failure failure() const { return {}; }

    // Before the top takes `temp`, once per name tried: whatever this
    // records is on the disk when it returns.
    void Begin(const FlattenPlan& plan, const std::string& temp);
    void Moved(const std::string& name);
    void Removed(const EntryPath& folder);
    void Settled(ChainPlace place);
    // Once every change above is on the disk.
    void Close();

  protected:
    explicit RunRecorder(RunState start = RunState::kPlanned) : state_(start) {}

    virtual void OnBegin(const FlattenPlan& plan, const std::string& temp) = 0;
    virtual void OnMoved(const std::string& name) = 0;
    virtual void OnRemoved(const EntryPath& folder) = 0;
    virtual void OnSettled(ChainPlace place) = 0;
    virtual void OnClose() = 0;

  private:
    void Enter(RunState next);

    RunState state_;
};

// Keeps no record: for the dry run, and for callers that need none.
class NoRecorder final : public RunRecorder {
  protected:
    void OnBegin(const FlattenPlan&, const std::string&) override {}
    void OnMoved(const std::string&) override {}
    void OnRemoved(const EntryPath&) override {}
    void OnSettled(ChainPlace) override {}
    void OnClose() override {}
};

}  // namespace karuneo
