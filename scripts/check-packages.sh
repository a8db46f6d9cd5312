#!/usr/bin/env bash
# Builds the two .debs (ci preset), the Windows zip and installer (ci-windows
# preset) and checks what they hold: the very trees scripts/test.sh tests, so
# that what is shipped is what was tested, and no tree is built twice. Installs
# nothing on this machine: packages are only unpacked into a temporary folder,
# and the installer runs in a Wine prefix of its own in the Windows tree.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh packaging windows

version=1.01
release=build/ci
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
  cmake --build --preset ci -j "$(nproc)" --target "${targets[@]}" > /dev/null
  wanted=$(grep -rhoE "\"$PWD/$release/bin/[^\"]+\"" "$release" --include=cmake_install.cmake |
    tr -d '"' | xargs -n1 basename | sort -u | xargs)
  [ "$wanted" = "${targets[*]}" ] || fail "install wants $wanted, run.sh builds ${targets[*]}"
  cmake --install "$release" --prefix "$work/run-install" > /dev/null
}

# The files of each package, one name a line.
expected_cli_files() {
  echo ./usr/bin/karuneo-cli ./usr/share/man/man1/karuneo-cli.1.gz
  echo ./usr/share/doc/karuneo-cli/changelog.gz ./usr/share/doc/karuneo-cli/copyright
}

expected_window_files() {
  local size
  echo ./usr/bin/karuneo
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
  echo ./usr/share/man/man1/karuneo.1.gz
  echo ./usr/share/metainfo/io.github.karuneo.karuneo.metainfo.xml
}

check_deb_files() {
  local deb=$1 expected=$2
  [ -f "$deb" ] || fail "cpack made no $deb"
  diff <($expected | tr ' ' '\n' | sort) <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort) ||
    fail "$deb holds other files than expected (< expected, > found)"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$deb: version is not $version"
  gzip -dc <(dpkg-deb --fsys-tarfile "$deb" | tar -xO --wildcards './usr/share/doc/*/changelog.gz') \
    > "$work/changelog"
  [ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] ||
    fail "$deb: the changelog's latest entry is not $version"
  # Each finding is either fixed or overridden with its reason in
  # packaging/linux/lintian-overrides.
  lintian --info --display-experimental --pedantic --fail-on error,warning,info,pedantic "$deb"
}

# A server takes karuneo-cli alone: nothing of Qt, no font, no display.
check_cli_deb() {
  local deb=$1 depends
  check_deb_files "$deb" expected_cli_files
  depends=$(dpkg-deb -f "$deb" Depends)
  [ -n "$depends" ] || fail "karuneo-cli has no computed dependencies"
  ! grep -qiE 'qt|font|karuneo' <<< "$depends" || fail "karuneo-cli depends on $depends"
}

# Field by field: "a (>= 1), b | c" gives "a (>= 1)" and "b | c".
dependency_fields() { dpkg-deb -f "$1" "$2" | sed 's/, /\n/g'; }

check_window_deb() {
  local deb=$1 root=$work/deb
  check_deb_files "$deb" expected_window_files
  dependency_fields "$deb" Depends | grep -qx "karuneo-cli (= $version)" ||
    fail "karuneo does not depend on karuneo-cli of its own version"
  dependency_fields "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the computed Qt libraries"
  # Without a Japanese font every label of the window is a box.
  dependency_fields "$deb" Depends | grep -qx 'fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic' ||
    fail "karuneo does not depend on a Japanese font"
  # The X11 platform plugin is in libqt6gui6; qt6-qpa-plugins holds only vnc and tuio.
  ! dpkg-deb -f "$deb" Depends | grep -q 'qt6-qpa-plugins' || fail "karuneo depends on qt6-qpa-plugins"
  [ "$(dpkg-deb -f "$deb" Suggests)" = qt6-wayland ] || fail "karuneo does not suggest qt6-wayland"

  dpkg-deb -x "$deb" "$root"
  local apps=$root/usr/share/applications/karuneo.desktop
  local menu=$root/usr/share/kio/servicemenus/karuneo.desktop
  local action=$root/usr/share/file-manager/actions/karuneo.desktop
  desktop-file-validate "$apps"
  grep -qx 'Exec=karuneo %F' "$apps" || fail "the menu entry does not pass files with %F"
  ! grep -q '^MimeType=' "$apps" || fail "the menu entry claims MIME types; it must never open folders by default"
  grep -qx 'Exec=karuneo %F' "$menu" || fail "the service menu does not pass files with %F"
  grep -qx 'Exec=karuneo %F' "$action" || fail "the file-manager action does not pass files with %F"
  grep -qx 'Name\[ja\]=カルネオで展開' "$action" || fail "the file-manager action is not named カルネオで展開"
  # PCManFM (GTK) labels the entry with the Tooltip when there is one.
  ! grep -q '^Tooltip' "$action" || fail "the file-manager action has a Tooltip, which PCManFM shows as its label"
  grep -qx 'Exec=karuneo %F' "$root/usr/share/nemo/actions/karuneo.nemo_action" ||
    fail "the Nemo action does not pass files with %F"
  grep -q '^License: MIT' "$root/usr/share/doc/karuneo/copyright" || fail "copyright names no licence"
  gzip -dc "$root/usr/share/man/man1/karuneo.1.gz" | grep -q 'XDG_CONFIG_HOME/karuneo/' ||
    fail "the manual does not name the settings file under \$XDG_CONFIG_HOME"
  [ -x "$menu" ] || fail "the service menu is not executable"
  appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml
}

# apt resolves both packages together against this machine's sources:
# every name they depend on exists in Debian 12. Only simulated.
check_debs_resolve() {
  apt-get install --simulate --no-install-recommends "$@" > "$work/apt.txt" 2>&1 ||
    { cat "$work/apt.txt" >&2; fail "apt cannot install $*"; }
}

check_zip() {
  local zip=$windows/karuneo-${version}-win64.zip expected
  [ -f "$zip" ] || fail "cpack made no $zip"
  expected=$(printf '%s\n' karuneo-cli.exe readme.txt licenses/libarchive.txt licenses/zlib.txt)
  [ -f "$windows/bin/karuneo.exe" ] && expected=$(printf '%s\nkaruneo.exe' "$expected")
  diff <(sort <<< "$expected") <(zipinfo -1 "$zip" | grep -v '/$' | sort) || fail "$zip holds other files than expected"

  unzip -q "$zip" -d "$work/zip"
  local readme=$work/zip/readme.txt exe dlls word
  iconv -f UTF-8 -t UTF-8 "$readme" > /dev/null || fail "readme.txt is not UTF-8"
  for word in shell:sendto 送る 'Send To'; do
    grep -q "$word" "$readme" || fail "readme.txt does not explain Send To in both languages"
  done
  # The texts the static libarchive and zlib ask to go with them.
  grep -q 'Tim Kientzle' "$work/zip/licenses/libarchive.txt" || fail "the zip lacks libarchive's licence"
  grep -q 'Jean-loup Gailly' "$work/zip/licenses/zlib.txt" || fail "the zip lacks zlib's licence"
  for exe in "$work"/zip/*.exe; do
    # Only system DLLs: the zip must run on a bare Windows.
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' |
      grep -viE '^(kernel32|user32|gdi32|shell32|ole32|comctl32|comdlg32|advapi32|bcrypt|shlwapi|uxtheme|msvcrt|api-ms-win-.*)\.dll$' || true)
    [ -z "$dlls" ] || fail "$(basename "$exe") needs $dlls"
  done
}

# The ci presets set CMAKE_SKIP_INSTALL_ALL_DEPENDENCY, so that cpack packages
# what was built instead of building every target (the tests and benchmarks
# too): run alone, this script builds only the programs the packages hold.
echo "== Install after scripts/run.sh's build"
cmake --preset ci > /dev/null
check_install_after_run

echo "== Debian packages"
cpack --preset ci > /dev/null
check_cli_deb "$release/karuneo-cli_${version}_amd64.deb"
check_window_deb "$release/karuneo_${version}_amd64.deb"
check_debs_resolve "./$release/karuneo-cli_${version}_amd64.deb" "./$release/karuneo_${version}_amd64.deb"

echo "== Windows zip"
scripts/build-libarchive-mingw.sh
cmake --preset ci-windows > /dev/null
cmake --build --preset ci-windows -j "$(nproc)" --target karuneo karuneo-cli > /dev/null
cpack --preset ci-windows > /dev/null
check_zip

echo "== Windows installer (under Wine)"
scripts/check-installer.sh

echo "Packages are fine"
