#pragma once

namespace karuneo {

// What the one who started a walk may ask of it while it runs, usually from
// another thread: to stop, and how far the move has come. The walk asks
// between two entries, never inside one, so a stop always leaves every entry
// whole in one place or the other.
class WalkControl {
  public:
    virtual ~WalkControl() = default;

    // Must be safe to call while another thread asks for the stop.
    virtual bool StopRequested() const = 0;

    // Asked once a walk has stopped part-way: whether to undo what it did,
    // where a journal of the run allows, or to leave things as they stand
    // (quicker, when the program is about to end).
    virtual bool UndoWhenStopped() const { return false; }

    // Before each entry of the deepest folder moves, and once all have:
    // `moved` of `total`. Counts the walk has anyway; it asks the disk
    // nothing more for them.
    virtual void MoveProgress(long long moved, long long total) = 0;

    // While a stopped run is being put back: a second stop, which ends the
    // put-back between two entries too, and how far it has come.
    virtual bool StopAgainRequested() const { return false; }
    virtual void PutBackProgress(long long moved, long long total) {
        (void)moved;
        (void)total;
    }

    // While an archive is read: its entries and the bytes they hold so far.
    // An archive tells no count ahead, so there is no total.
    virtual void ExtractProgress(long long entries, unsigned long long bytes) {
        (void)entries;
        (void)bytes;
    }
};

// Never stops and hears nothing: for callers that run a walk to its end.
WalkControl& UninterruptedWalk();

}  // namespace karuneo
