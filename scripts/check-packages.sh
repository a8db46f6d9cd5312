#!/usr/bin/env bash
# Builds the .deb (ci-release preset), the Windows zip and installer
# (ci-windows preset) and checks what they hold. Installs nothing on this
# machine: packages are only unpacked into a temporary folder, and the
# installer runs in the Wine prefix of the Windows tests.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh packaging windows

version=1.01
release=build/ci-release
windows=build/ci-windows
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "check-packages: $*" >&2; exit 1; }

# The tree must install after a build of exactly what scripts/run.sh builds.
# The install scripts name every built file they copy; a file of any other
# target would be missing after run.sh.
check_install_after_run() {
  local targets wanted
  mapfile -t targets < <(sed -n 's/^targets=(\(.*\))$/\1/p' scripts/run.sh | tr ' ' '\n' | sort)
  [ ${#targets[@]} -gt 0 ] || fail "no targets=(...) line in scripts/run.sh"
  cmake --build --preset ci-release -j "$(nproc)" --target "${targets[@]}" > /dev/null
  wanted=$(grep -rhoE "\"$PWD/$release/bin/[^\"]+\"" "$release" --include=cmake_install.cmake |
    tr -d '"' | xargs -n1 basename | sort -u | xargs)
  [ "$wanted" = "${targets[*]}" ] || fail "install wants $wanted, run.sh builds ${targets[*]}"
  cmake --install "$release" --prefix "$work/run-install" > /dev/null
}

expected_deb_files() {
  local size
  echo ./usr/bin/karuneo ./usr/bin/karuneo-cli
  echo ./usr/share/applications/karuneo.desktop
  echo ./usr/share/file-manager/actions/karuneo.desktop ./usr/share/nemo/actions/karuneo.nemo_action
  echo ./usr/share/doc/karuneo/changelog.gz ./usr/share/doc/karuneo/copyright
  for size in 16 24 32 48 64 128 256; do
    echo "./usr/share/icons/hicolor/${size}x${size}/apps/karuneo.png"
  done
  echo ./usr/share/icons/hicolor/scalable/apps/karuneo.svg
  echo ./usr/share/karuneo/thunar-action.xml ./usr/share/karuneo/カルネオ
  echo ./usr/share/kio/servicemenus/karuneo.desktop
  echo ./usr/share/lintian/overrides/karuneo
  echo ./usr/share/man/man1/karuneo-cli.1.gz ./usr/share/man/man1/karuneo.1.gz
  echo ./usr/share/metainfo/io.github.karuneo.karuneo.metainfo.xml
}

check_deb() {
  local deb=$release/karuneo_${version}_amd64.deb root=$work/deb
  [ -f "$deb" ] || fail "cpack made no $deb"
  diff <(expected_deb_files | tr ' ' '\n' | sort) \
    <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort) ||
    fail "$deb holds other files than expected (< expected, > found)"

  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
  dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the computed Qt libraries"
  # The platform plugin is loaded, not linked: it must be named by hand.
  dpkg-deb -f "$deb" Depends | grep -q 'qt6-qpa-plugins' || fail "Depends lacks the Qt platform plugin"

  dpkg-deb -x "$deb" "$root"
  local apps=$root/usr/share/applications/karuneo.desktop
  local menu=$root/usr/share/kio/servicemenus/karuneo.desktop
  desktop-file-validate "$apps"
  grep -qx 'Exec=karuneo %F' "$apps" || fail "the menu entry does not pass files with %F"
  ! grep -q '^MimeType=' "$apps" || fail "the menu entry claims MIME types; it must never open folders by default"
  grep -qx 'Exec=karuneo %F' "$menu" || fail "the service menu does not pass files with %F"
  grep -qx 'Exec=karuneo %F' "$root/usr/share/file-manager/actions/karuneo.desktop" ||
    fail "the file-manager action does not pass files with %F"
  grep -qx 'Exec=karuneo %F' "$root/usr/share/nemo/actions/karuneo.nemo_action" ||
    fail "the Nemo action does not pass files with %F"
  grep -q '^License: MIT' "$root/usr/share/doc/karuneo/copyright" || fail "copyright names no licence"
  [ -x "$menu" ] || fail "the service menu is not executable"
  appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml
  gzip -dc "$root/usr/share/doc/karuneo/changelog.gz" > "$work/changelog"
  [ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] ||
    fail "the changelog's latest entry is not $version"

  # Each finding is either fixed or overridden with its reason in
  # packaging/linux/lintian-overrides.
  lintian --info --display-experimental --pedantic --fail-on error,warning,info,pedantic "$deb"
}

check_zip() {
  local zip=$windows/karuneo-${version}-win64.zip expected
  [ -f "$zip" ] || fail "cpack made no $zip"
  expected=$(printf '%s\n' karuneo-cli.exe readme.txt)
  [ -f "$windows/bin/karuneo.exe" ] && expected=$(printf '%s\nkaruneo.exe' "$expected")
  diff <(sort <<< "$expected") <(zipinfo -1 "$zip" | sort) || fail "$zip holds other files than expected"

  unzip -q "$zip" -d "$work/zip"
  local readme=$work/zip/readme.txt exe dlls word
  iconv -f UTF-8 -t UTF-8 "$readme" > /dev/null || fail "readme.txt is not UTF-8"
  for word in shell:sendto 送る 'Send To'; do
    grep -q "$word" "$readme" || fail "readme.txt does not explain Send To in both languages"
  done
  for exe in "$work"/zip/*.exe; do
    # Only system DLLs: the zip must run on a bare Windows.
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' |
      grep -viE '^(kernel32|user32|gdi32|shell32|ole32|comctl32|comdlg32|advapi32|shlwapi|uxtheme|msvcrt|api-ms-win-.*)\.dll$' || true)
    [ -z "$dlls" ] || fail "$(basename "$exe") needs $dlls"
  done
}

echo "== Install after scripts/run.sh's build"
cmake --preset ci-release > /dev/null
check_install_after_run

echo "== Debian package"
cpack --preset ci-release > /dev/null
check_deb

echo "== Windows zip"
[ -f "$windows/CMakeCache.txt" ] || cmake --preset ci-windows > /dev/null
cpack --preset ci-windows > /dev/null
check_zip

echo "== Windows installer (under Wine)"
scripts/check-installer.sh

echo "Packages are fine"
