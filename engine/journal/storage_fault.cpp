#include "engine/journal/storage_fault.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <utility>

namespace karuneo::journal {
namespace {

// Asked before every step of every run, almost always to find nothing: one
// load, and the lock only while a fault is set.
std::atomic<bool> any_set{false};
std::mutex faults_lock;
std::array<Failure, static_cast<std::size_t>(StorageStep::kCount)> faults;

Failure& FaultOf(StorageStep step) {
    return faults[static_cast<std::size_t>(step)];
}

}  // namespace

StorageFault::StorageFault(StorageStep step, Failure failure) : step_(step) {
    const std::lock_guard lock(faults_lock);
    FaultOf(step) = std::move(failure);
    any_set = true;
}

StorageFault::~StorageFault() {
    const std::lock_guard lock(faults_lock);
    FaultOf(step_) = Failure();
    bool left = false;
    for (const Failure& fault : faults) {
        left = left || static_cast<bool>(fault);
    }
    any_set = left;
}

Failure InjectedFault(StorageStep step) {
    if (!any_set) {
        return {};
    }
    const std::lock_guard lock(faults_lock);
    return FaultOf(step);
}

}  // namespace karuneo::journal
