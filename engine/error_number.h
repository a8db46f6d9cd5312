#pragma once

namespace karuneo {

// Failures cross the file-system seam as small numbers rather than exceptions.
// The walk gives meaning to only two of them, and only at fixed places: "no
// file matched" when the files of a folder are moved, "path not found" when a
// dropped path is looked up. The others follow the numbering users of the
// original platform's runtime know, but nothing depends on their values.
using ErrorNumber = int;

inline constexpr ErrorNumber kNoError = 0;
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

// A value or the error that prevented it; std::expected is not in C++20.
template <typename T>
struct Result {
    T value{};
    ErrorNumber error = kNoError;

    bool ok() const { return error == kNoError; }
};

}  // namespace karuneo
