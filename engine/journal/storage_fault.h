#pragma once

#include "engine/error_number.h"

namespace karuneo::journal {

// What the journal asks of the disk. A full or failing disk cannot be made
// to fail on cue, and every one of these must, in a test, be seen to keep
// the journal and say why.
enum class StorageStep { kOpen, kRead, kAppend, kSync, kRemove, kCount };

// While it lives, every `step` on any journal fails with `failure`. For
// tests; one at a time.
class StorageFault {
  public:
    StorageFault(StorageStep step, Failure failure);
    ~StorageFault();
    StorageFault(const StorageFault&) = delete;
    StorageFault& operator=(const StorageFault&) = delete;

  private:
    StorageStep step_;
};

// The failure a StorageFault gives `step`, or none. The journal's storage
// asks before each step.
Failure InjectedFault(StorageStep step);

}  // namespace karuneo::journal
