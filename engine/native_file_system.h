#pragma once

#include <memory>

#include "engine/file_system.h"

namespace karuneo {

// The file-system layer of the operating system this program was built for.
std::unique_ptr<FileSystem> MakeNativeFileSystem();

}  // namespace karuneo
