#!/usr/bin/env bash
# Builds libarchive as a static library for the Windows cross build, from
# Debian's own source package (with Debian's patches), so that karuneo.exe
# still needs nothing but Windows' own DLLs. Debian ships no libarchive for
# mingw-w64; of the compressions it ships only zlib for mingw-w64, so the
# library reads zip, tar and gzip, and none of bzip2, xz, lzma, zstd, lz4.
#
#   scripts/build-libarchive-mingw.sh [PREFIX]
#
# PREFIX (build/deps/libarchive-mingw unless given) gets include/, lib/ and a
# stamp naming the source version and this script's recipe. A prefix whose
# stamp matches is left alone, so the test scripts call this every time.
# apt runs with a state and cache of its own under the build tree: the
# machine's apt configuration is read, never changed.
#
# Configuring libarchive takes minutes of compiler probes, so a finished
# prefix is also kept, by version and recipe, in KARUNEO_DEPS_CACHE
# (~/.cache/karuneo unless set; set it empty to keep none): a fresh clone on
# the same machine then copies it instead of building it again.
set -euo pipefail
cd "$(dirname "$0")/.."

root=$PWD
prefix=$(realpath -m "${1:-build/deps/libarchive-mingw}")
work=$root/build/deps/libarchive-mingw-work
stamp=$prefix/karuneo-stamp
triple=x86_64-w64-mingw32
default_cache=
[ -z "${XDG_CACHE_HOME:-${HOME:-}}" ] || default_cache=${XDG_CACHE_HOME:-$HOME/.cache}/karuneo
cache=${KARUNEO_DEPS_CACHE-$default_cache}

# A change to how the library is built must rebuild it, as a new source
# version does.
recipe=$(cat "$0" cmake/mingw-w64.cmake | sha256sum | cut -c1-16)

# The version apt would fetch, if the machine's package lists know it: then a
# security update of libarchive rebuilds the prefix too. Binary packages
# rebuilt alone carry +bN, which their source does not.
known_version() {
  apt-cache show --no-all-versions libarchive-dev 2> /dev/null |
    sed -n 's/^Version: //p' | head -n 1 | sed 's/+b[0-9]*$//'
}

# Whether $1 holds the library of this recipe, and of version $2 if given.
holds_build() {
  [ -f "$1/lib/libarchive.a" ] && [ -f "$1/karuneo-stamp" ] &&
    grep -qx "recipe=$recipe" "$1/karuneo-stamp" &&
    { [ -z "$2" ] || grep -qxF "version=$2" "$1/karuneo-stamp"; }
}

# Takes the prefix from the machine's cache, if the cache has this build.
from_cache() {
  local cached=$cache/libarchive-mingw-$1-$recipe
  [ -n "$cache" ] && [ -n "$1" ] && holds_build "$cached" "$1" || return 1
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  cp -a "$cached" "$prefix"
  echo "libarchive $1 for mingw-w64 copied from $cached"
}

version=$(known_version)
if holds_build "$prefix" "$version"; then
  echo "libarchive $(sed -n 's/^version=//p' "$stamp") for mingw-w64 is already in $prefix"
  exit 0
fi
from_cache "$version" && exit 0

for tool in dpkg-source "$triple-gcc-posix" cmake; do
  command -v "$tool" > /dev/null ||
    { echo "build-libarchive-mingw: $tool is missing: run scripts/install-deps.sh windows" >&2; exit 1; }
done
[ -f "/usr/$triple/lib/libz.a" ] ||
  { echo "build-libarchive-mingw: libz-mingw-w64-dev is missing: run scripts/install-deps.sh windows" >&2; exit 1; }

rm -rf "$work"
apt_dir=$work/apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"

# The machine's own Debian sources, each entry turned into one for sources.
: > "$apt_dir/sources.list"
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^[[:space:]]*deb\([[:space:]]\)/deb-src\1/p' /etc/apt/sources.list > "$apt_dir/sources.list"
fi
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
  sed 's/^Types:.*$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
    > "$apt_dir/sources.list.d/debian.sources"
fi
if [ ! -s "$apt_dir/sources.list" ] && [ ! -s "$apt_dir/sources.list.d/debian.sources" ]; then
  echo "build-libarchive-mingw: no Debian entry in /etc/apt/sources.list or sources.list.d/debian.sources" >&2
  exit 1
fi

apt_options=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  # Only the Sources indexes: no translations, no Contents files that a
  # configuration of the machine may ask for.
  -o "Acquire::IndexTargets::deb::Packages::DefaultEnabled=false"
  -o "Acquire::Languages=none"
  # As root apt hands downloads to the _apt user, who cannot write here.
  -o "APT::Sandbox::User=$(id -un)"
)

echo "== Fetching Debian's libarchive sources"
start=$SECONDS
apt-get "${apt_options[@]}" -qq update
mkdir -p "$work/source"
(cd "$work/source" && apt-get "${apt_options[@]}" -qq source --download-only libarchive)
dsc=$(ls "$work"/source/libarchive_*.dsc)
version=$(sed -n 's/^Version: //p' "$dsc")
# apt has checked these files against the signed index already.
dpkg-source --no-check -x "$dsc" "$work/source/libarchive" > /dev/null
echo "libarchive $version fetched in $((SECONDS - start)) s"
if from_cache "$version"; then
  rm -rf "$work"
  exit 0
fi

echo "== Building libarchive $version for mingw-w64"
start=$SECONDS
# libarchive looks for CNG's header as "Bcrypt.h", as on Windows' own file
# systems; mingw-w64 has it as bcrypt.h, which a case-sensitive one keeps
# apart. Without it libarchive would leave out encrypted zip.
mkdir -p "$work/case"
echo '#include <bcrypt.h>' > "$work/case/Bcrypt.h"
launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache)
# Everything that would need a library Debian has no mingw-w64 build of is
# off, and so is every program and test of libarchive's own; only the
# static library is built. Names are
# converted with Win32's own calls, so iconv is not needed; CNG (bcrypt.dll)
# gives the digests and encryption. libarchive would run a program to learn
# whether zlib takes stdcall; a cross build cannot run it (CMake 3.25 even
# crashes trying), and 64-bit Windows has one calling convention anyway.
cmake -S "$work/source/libarchive" -B "$work/build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS="-idirafter $work/case" \
  "${launcher[@]}" \
  -DENABLE_TEST=OFF -DENABLE_TAR=OFF -DENABLE_CPIO=OFF -DENABLE_CAT=OFF \
  -DENABLE_INSTALL=OFF -DENABLE_WERROR=OFF -DENABLE_COVERAGE=OFF \
  -DENABLE_ZLIB=ON -DZLIB_INCLUDE_DIR="/usr/$triple/include" -DZLIB_LIBRARY="/usr/$triple/lib/libz.a" \
  -DZLIB_WINAPI=OFF -DZLIB_WINAPI_WITH_LIB="/usr/$triple/lib/libz.a" \
  -DENABLE_BZip2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_LZ4=OFF -DENABLE_LZO=OFF \
  -DENABLE_LIBB2=OFF -DENABLE_MBEDTLS=OFF -DENABLE_NETTLE=OFF -DENABLE_OPENSSL=OFF -DENABLE_CNG=ON \
  -DENABLE_LIBXML2=OFF -DENABLE_EXPAT=OFF -DENABLE_PCREPOSIX=OFF \
  -DPOSIX_REGEX_LIB=NONE -DENABLE_LIBGCC=OFF -DENABLE_XATTR=OFF -DENABLE_ACL=OFF -DENABLE_ICONV=OFF \
  > "$work/configure.log" 2>&1 || { cat "$work/configure.log" >&2; exit 1; }
echo "configured in $((SECONDS - start)) s"
jobs=$(nproc)
[ "$jobs" -le 2 ] || jobs=2
cmake --build "$work/build" -j "$jobs" --target archive_static > "$work/build.log" 2>&1 ||
  { tail -n 50 "$work/build.log" >&2; exit 1; }

rm -rf "$prefix"
mkdir -p "$prefix/include" "$prefix/lib"
cp "$work/source/libarchive/libarchive/archive.h" "$work/source/libarchive/libarchive/archive_entry.h" \
  "$prefix/include/"
cp "$work/build/libarchive/libarchive_static.a" "$prefix/lib/libarchive.a"
cp "$work/source/libarchive/COPYING" "$prefix/COPYING"
printf 'version=%s\nrecipe=%s\n' "$version" "$recipe" > "$stamp"
echo "libarchive $version built in $((SECONDS - start)) s into $prefix"
rm -rf "$work"

if [ -n "$cache" ]; then
  cached=$cache/libarchive-mingw-$version-$recipe
  mkdir -p "$cache"
  rm -rf "$cached.partial"
  cp -a "$prefix" "$cached.partial"
  rm -rf "$cached"
  mv "$cached.partial" "$cached"
fi
