#pragma once

#include "engine/walk_control.h"

namespace karuneo::cli {

// A stop that the user asks for from outside the tool: Ctrl+C or SIGTERM,
// on Windows Ctrl+C, Ctrl+Break or closing the console. The walk asks it
// between two entries, so no entry is ever left half-way.
class Interruption : public WalkControl {
  public:
    // The status the tool exits with once stopped, 128 and the signal's
    // number as shells report it; 0 while nothing asked for a stop.
    virtual int ExitStatus() const = 0;

    // How many stops were asked for so far.
    virtual int StopsAsked() const { return ExitStatus() != 0 ? 1 : 0; }

    bool StopRequested() const final { return ExitStatus() != 0; }
    // A second Ctrl+C ends the putting back too: what went back stays back.
    bool StopAgainRequested() const final { return StopsAsked() > 1; }
    // Ctrl+C is the user's own word: the folder in hand is put back as it
    // was. SIGTERM and a closing console mean the end is near: it is left
    // as it stands, to be undone later with --undo.
    bool UndoWhenStopped() const final { return ExitStatus() == 128 + 2; }
    void MoveProgress(long long /*moved*/, long long /*total*/) final {}
};

// Never asks for a stop.
Interruption& NoInterruption();

// The process's own signals, caught from the first call on.
Interruption& SignalInterruption();

// Says the work is over: on Windows a console that is being closed waits
// for this (the system gives it a few seconds) so that the walk can reach
// a point between two entries first.
void InterruptibleWorkDone();

}  // namespace karuneo::cli
