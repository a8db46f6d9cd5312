#pragma once

#include <cassert>
#include <string>
#include <utility>

namespace karuneo {

// Failures cross the file-system seam as values, not exceptions, each with a
// small number.
// The walk tests for only two of them: "file already exists" when a name is
// taken or a folder it would remove is not empty, and "path not found" when
// a dropped path is looked up. It raises four of its own: overflow for a
// chain too deep, out of memory, unexpected, and stopped when asked to stop. The others
// only pick the words of a row's reason, and nothing depends on their values.
using ErrorNumber = int;

inline constexpr ErrorNumber kNoError = 0;
inline constexpr ErrorNumber kStopped = 18;
inline constexpr ErrorNumber kOverflow = 6;
inline constexpr ErrorNumber kOutOfMemory = 7;
inline constexpr ErrorNumber kBadFileName = 52;
inline constexpr ErrorNumber kFileNotFound = 53;
inline constexpr ErrorNumber kDeviceIoError = 57;
inline constexpr ErrorNumber kFileAlreadyExists = 58;
inline constexpr ErrorNumber kDiskFull = 61;
inline constexpr ErrorNumber kPermissionDenied = 70;
inline constexpr ErrorNumber kDifferentDrive = 74;
inline constexpr ErrorNumber kPathFileAccessError = 75;
inline constexpr ErrorNumber kPathNotFound = 76;
inline constexpr ErrorNumber kUnexpected = 51;
// A file system with neither a rename that refuses to replace nor hard links:
// no way to move an entry there without risking another of the same name.
inline constexpr ErrorNumber kNoSafeMove = 445;
// Another run of this program holds a folder this one would change; the
// runtime has no number for that, so it is one of ours.
inline constexpr ErrorNumber kAnotherRun = 1001;
// A folder to be removed still holds something (the runtime calls this "file
// already exists" too, which a rename's clash must not be taken for).
inline constexpr ErrorNumber kFolderNotEmpty = 1002;

// A failure as it crosses the seam: the number the walk tests, and what a
// message to the user needs besides. Built from a bare number where the
// system gave nothing more, always by name, so that no stray integer
// becomes one; compared with numbers.
struct [[nodiscard]] Failure {
    ErrorNumber number = kNoError;
    int system_code = 0;  // errno, or GetLastError(); 0 when there was none
    std::string entry;    // the entry it concerns, below the dropped folder; "" is that folder
    // The entry's own name whole, where the layer knows it: a name that holds
    // a separator (made on another system) cannot be cut out of `entry`.
    std::string name;

    Failure() = default;
    explicit Failure(ErrorNumber error) : number(error) {}
    Failure(ErrorNumber error, int code, std::string about)
        : number(error), system_code(code), entry(std::move(about)) {}

    explicit operator bool() const { return number != kNoError; }
    friend bool operator==(const Failure& failure, ErrorNumber error) {
        return failure.number == error;
    }
};

// A value or the error that prevented it; std::expected is not in C++20.
// A failed result holds no value to read: value() is for after the check.
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T found) : value_(std::move(found)) {}           // NOLINT: a value stands for success
    Result(Failure failure) : error_(std::move(failure)) {  // NOLINT: so does a failure
        assert(error_);
    }

    bool ok() const { return error_ == kNoError; }
    const Failure& error() const { return error_; }

    const T& value() const& {
        assert(ok());
        return value_;
    }
    T& value() & {
        assert(ok());
        return value_;
    }
    T&& value() && {
        assert(ok());
        return std::move(value_);
    }

  private:
    // Default-made while failed: a read that skipped the check in a build
    // without assertions finds nothing, never garbage.
    T value_{};
    Failure error_;
};

// What a reading got before a failure stopped it, and that failure: a
// damaged record still tells what it was about, which a message about it
// needs. Unlike a Result, the value is there to read either way.
template <typename T>
class [[nodiscard]] PartlyRead {
  public:
    PartlyRead(T found) : value_(std::move(found)) {}  // NOLINT: read whole
    PartlyRead(T found, Failure failure) : value_(std::move(found)), error_(std::move(failure)) {}

    bool ok() const { return error_ == kNoError; }
    const Failure& error() const { return error_; }
    const T& value() const& { return value_; }
    T& value() & { return value_; }
    T&& value() && { return std::move(value_); }

  private:
    T value_;
    Failure error_;
};

}  // namespace karuneo
