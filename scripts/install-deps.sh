#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and this
# machine lacks. Safe to run again: it installs nothing that is present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libarchive-dev
  libgtest-dev googletest librapidcheck-dev
  clang-format
  e2fsprogs fuse2fs exfatprogs exfat-fuse dosfstools fusefat
)
# Groups a script can ask for on top of the base set.
for group in "$@"; do
  case "$group" in
    window) packages+=(qt6-base-dev qt6-base-dev-tools libgl-dev fonts-noto-cjk xvfb xauth iwyu) ;;
    bench) packages+=(libarchive-tools) ;;
    cache) packages+=(ccache) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    startup) packages+=(libx11-dev) ;;
    windows) packages+=(g++-mingw-w64-x86-64-posix wine wine64 fonts-noto-cjk python3 nsis
                      dpkg-dev libz-mingw-w64-dev) ;;
    screenshots) packages+=(xvfb xauth imagemagick) ;;
    icons) packages+=(librsvg2-bin icoutils) ;;
    packaging) packages+=(dpkg-dev file lintian appstream desktop-file-utils unzip binutils-mingw-w64-x86-64) ;;
    *) echo "install-deps: unknown group $group" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
