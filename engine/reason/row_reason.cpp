#include "engine/reason/row_reason.h"

#include "engine/system_code.h"

namespace karuneo {
namespace {

// The numbers the walk itself gives meaning to come first; the system's code
// tells the rest apart, and a refusal that came with no code is still one.
Cause CauseOf(const Failure& failure) {
    switch (failure.number) {
        case kFileAlreadyExists:
            return Cause::kAlreadyExists;
        case kDifferentDrive:
            return Cause::kOtherDrive;
        case kOverflow:
            return Cause::kTooDeep;
        case kStopped:
            return Cause::kStoppedByUser;
        case kNoSafeMove:
            return Cause::kNoMoveWithoutRisk;
        case kAnotherRun:
            return Cause::kHeldByAnotherRun;
        default:
            break;
    }
    if (const Cause cause = MeaningOfSystemCode(failure.system_code).cause;
        cause != Cause::kSystem) {
        return cause;
    }
    // Refused before the system was asked: a separator, or on Windows a ':',
    // inside a name.
    if (failure.number == kBadFileName && failure.system_code == 0) {
        return Cause::kNameNotAllowed;
    }
    const bool bare_refusal = failure.number == kPermissionDenied && failure.system_code == 0;
    return bare_refusal ? Cause::kNoPermission : Cause::kSystem;
}

}  // namespace

ErrorReason ReasonForFailure(Attempt attempt, const Failure& failure) {
    ErrorReason reason;
    reason.attempt = attempt;
    reason.entry = failure.entry;
    reason.name = failure.name;
    reason.cause = CauseOf(failure);
    reason.number = failure.number;
    reason.system_code = failure.system_code;
    return reason;
}

}  // namespace karuneo
