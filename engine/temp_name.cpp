#include "engine/temp_name.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>

namespace karuneo {
namespace {

// The clock apart from random_device, which some standard libraries answer
// with the same sequence in every process.
std::uint64_t Seed() {
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return (static_cast<std::uint64_t>(device()) << 32) ^ static_cast<std::uint64_t>(now);
}

}  // namespace

std::string NewTempName() {
    thread_local std::mt19937_64 random(Seed());
    char name[32];
    std::snprintf(name, sizeof name, "karuneo%08x.tmp", static_cast<unsigned>(random()));
    return name;
}

}  // namespace karuneo
