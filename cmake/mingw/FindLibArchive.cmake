# Takes the place of CMake's own FindLibArchive in the Windows cross build.
# Debian has no libarchive for mingw-w64: scripts/build-libarchive-mingw.sh
# builds a static one from Debian's sources into KARUNEO_LIBARCHIVE_PREFIX.
# A static libarchive must be told so (LIBARCHIVE_STATIC, or its declarations
# ask for a DLL) and brings what it calls along: zlib, itself static so that
# no zlib1.dll is needed, and Windows' own CNG (bcrypt) and CryptoAPI
# (advapi32).
set(KARUNEO_LIBARCHIVE_PREFIX ${CMAKE_SOURCE_DIR}/build/deps/libarchive-mingw
    CACHE PATH "Where scripts/build-libarchive-mingw.sh installed libarchive for mingw-w64")

# The prefix lies outside the toolchain's root, which the finds are kept in.
find_path(LibArchive_INCLUDE_DIR archive.h PATHS ${KARUNEO_LIBARCHIVE_PREFIX}/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_library(LibArchive_LIBRARY NAMES libarchive.a PATHS ${KARUNEO_LIBARCHIVE_PREFIX}/lib
             NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
# By its file name: by "z" the import library of zlib1.dll would come first.
find_library(KARUNEO_MINGW_ZLIB NAMES libz.a)
mark_as_advanced(LibArchive_INCLUDE_DIR LibArchive_LIBRARY KARUNEO_MINGW_ZLIB)

if(LibArchive_INCLUDE_DIR AND EXISTS ${LibArchive_INCLUDE_DIR}/archive.h)
  file(STRINGS ${LibArchive_INCLUDE_DIR}/archive.h karuneo_libarchive_version_line
       REGEX "^#define[ \t]+ARCHIVE_VERSION_ONLY_STRING[ \t]+\"[0-9.]+\"")
  string(REGEX REPLACE "^.*\"([0-9.]+)\".*$" "\\1" LibArchive_VERSION
                       "${karuneo_libarchive_version_line}")
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(
  LibArchive
  REQUIRED_VARS LibArchive_LIBRARY LibArchive_INCLUDE_DIR KARUNEO_MINGW_ZLIB
  VERSION_VAR LibArchive_VERSION
  REASON_FAILURE_MESSAGE
    "run scripts/build-libarchive-mingw.sh (after scripts/install-deps.sh windows), then configure again")

if(LibArchive_FOUND)
  set(LibArchive_INCLUDE_DIRS ${LibArchive_INCLUDE_DIR})
  set(LibArchive_LIBRARIES ${LibArchive_LIBRARY} ${KARUNEO_MINGW_ZLIB} bcrypt advapi32)
  if(NOT TARGET LibArchive::LibArchive)
    add_library(LibArchive::LibArchive STATIC IMPORTED)
    set_target_properties(
      LibArchive::LibArchive
      PROPERTIES IMPORTED_LOCATION ${LibArchive_LIBRARY}
                 INTERFACE_INCLUDE_DIRECTORIES ${LibArchive_INCLUDE_DIR}
                 INTERFACE_COMPILE_DEFINITIONS LIBARCHIVE_STATIC
                 INTERFACE_LINK_LIBRARIES "${KARUNEO_MINGW_ZLIB};bcrypt;advapi32")
  endif()
endif()
