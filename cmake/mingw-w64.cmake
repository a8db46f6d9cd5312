# Cross-builds for 64-bit Windows with mingw-w64. The posix thread variant is
# the one whose libstdc++ has std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KARUNEO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KARUNEO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KARUNEO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KARUNEO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KARUNEO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A user copies one .exe; it must not ask for libgcc, libstdc++ or
# libwinpthread DLLs that are not on their machine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
