#!/usr/bin/env bash
# Installs karuneo-<version>-setup.exe silently into a Wine prefix of its own
# (build/ci-windows/installer-prefix: never ~/.wine, nor the tests'), checks
# what it put where, runs the installed program, uninstalls silently and
# checks that nothing is left. Also checks the refusals (a folder that holds
# a file of the same name as ours, a second folder while one is installed),
# an upgrade and an uninstall while karuneo.exe runs, and a reinstall into
# a folder where a user's file was kept. Called by scripts/check-packages.sh
# after cpack made the installer.
set -euo pipefail
cd "$(dirname "$0")/.."

version=1.01
setup=$PWD/build/ci-windows/karuneo-${version}-setup.exe
export WINEPREFIX="$PWD/build/ci-windows/installer-prefix"
. scripts/wine-env.sh

fail() { echo "check-installer: $*" >&2; exit 1; }
[ -f "$setup" ] || fail "cpack made no $setup"

start_wineserver
trap stop_wineserver EXIT
scripts/wine-prefix.sh null

# A Windows folder of this prefix's user, as a Linux path.
windows_folder() {
  local folder
  folder=$("$wine" cmd /c echo "%$1%" < /dev/null | tr -d '\r')
  "$wine" winepath -u "$folder" 2> /dev/null
}
local_app_data=$(windows_folder LOCALAPPDATA)
app_data=$(windows_folder APPDATA)
install_dir=$local_app_data/Programs/karuneo
start_menu_shortcut="$app_data/Microsoft/Windows/Start Menu/Programs/カルネオ.lnk"
send_to_shortcut="$app_data/Microsoft/Windows/SendTo/カルネオ.lnk"
apps_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\karuneo'
verb_key='HKCU\Software\Classes\Directory\shell\karuneo'

key_exists() { "$wine" reg query "$1" < /dev/null > /dev/null 2>&1; }
# The data of one string or number value, as `reg query` prints it; an
# empty name is the key's default value. Asked twice before it counts as
# missing: now and then a Wine process dies as it starts (see
# scripts/test-windows.sh), and reg.exe then answers nothing at all.
value_of() {
  local which=(/v "$2") shown=$2 data=
  [ -n "$2" ] || { which=(/ve); shown='(Default)'; }
  for _ in 1 2; do
    data=$("$wine" reg query "$1" "${which[@]}" < /dev/null 2> /dev/null | tr -d '\r' |
      sed -n "s/^ *$shown *REG_[A-Z_]* *//p")
    [ -z "$data" ] || break
  done
  echo "$data"
}

nothing_installed() {
  local what=$1
  [ ! -e "$install_dir" ] || fail "$what: $install_dir exists"
  ! key_exists "$apps_key" || fail "$what: the Apps entry exists"
  ! key_exists "$verb_key" || fail "$what: the folder verb exists"
  [ ! -e "$start_menu_shortcut" ] || fail "$what: the Start menu shortcut exists"
  [ ! -e "$send_to_shortcut" ] || fail "$what: the Send To shortcut exists"
}

# $1: a file of the user's that must be in the install folder too.
check_installed() {
  local expected windows_dir
  expected=$(printf '%s\n' karuneo-cli.exe karuneo-uninstall.exe karuneo.exe licenses readme.txt "$@" | sort)
  diff <(echo "$expected") <(ls "$install_dir" | sort) || fail "the install folder holds other files"
  grep -q 'Tim Kientzle' "$install_dir/licenses/libarchive.txt" || fail "no licence of libarchive installed"
  grep -q 'Jean-loup Gailly' "$install_dir/licenses/zlib.txt" || fail "no licence of zlib installed"
  [ -f "$start_menu_shortcut" ] || fail "no Start menu shortcut"
  [ -f "$send_to_shortcut" ] || fail "no Send To shortcut: karuneo.exe --register did not run"
  [ "$(value_of "$verb_key" MultiSelectModel)" = Player ] || fail "no folder verb"
  windows_dir=$(value_of "$apps_key" InstallLocation)
  [ "$("$wine" winepath -u "$windows_dir" 2> /dev/null)" = "$install_dir" ] ||
    fail "InstallLocation is $windows_dir"
  [ "$(value_of "$verb_key\\command" '')" = "\"$windows_dir\\karuneo.exe\" \"%1\"" ] ||
    fail "the verb does not start the installed karuneo.exe"
  [ "$(value_of "$apps_key" DisplayVersion)" = "$version" ] || fail "DisplayVersion is not $version"
  [ "$(value_of "$apps_key" QuietUninstallString)" = "\"$windows_dir\\karuneo-uninstall.exe\" /S" ] ||
    fail "QuietUninstallString is wrong"
  for name in DisplayName Publisher DisplayIcon UninstallString NoModify NoRepair EstimatedSize; do
    [ -n "$(value_of "$apps_key" "$name")" ] || fail "the Apps entry lacks $name"
  done
  "$wine" "$install_dir/karuneo.exe" --version < /dev/null > "$work/version.txt"
  [ "$(tr -d '\r' < "$work/version.txt")" = "karuneo $version" ] ||
    fail "the installed karuneo.exe --version printed: $(cat "$work/version.txt")"
}

# The uninstaller copies itself to the temporary folder and runs from there,
# so that it can delete itself; its own file going shows that it is done
# (the folder stays when it holds $1, a file of the user's).
uninstall() {
  "$wine" "$install_dir/karuneo-uninstall.exe" /S < /dev/null
  for _ in $(seq 120); do
    if [ ! -e "$install_dir/karuneo-uninstall.exe" ]; then
      [ "$(ls -A "$install_dir" 2> /dev/null)" = "${1:-}" ] && return 0
    fi
    sleep 0.5
  done
  fail "the uninstaller left $install_dir: $(ls -A "$install_dir" | xargs)"
}

# Starts the installed window (Wine's null driver draws nothing) and waits
# until its single-instance window is up: a second start then hands over
# and ends at once.
start_window() {
  "$wine" "$install_dir/karuneo.exe" < /dev/null > /dev/null 2>&1 &
  window_pid=$!
  # A probe that came first would open the window itself.
  sleep 3
  for _ in $(seq 60); do
    timeout 20 "$wine" "$install_dir/karuneo.exe" < /dev/null > /dev/null 2>&1 && return 0
    sleep 0.5
  done
  fail "karuneo.exe did not start"
}

window_ended() {
  for _ in $(seq 60); do
    kill -0 "$window_pid" 2> /dev/null || { wait "$window_pid" || true; return 0; }
    sleep 0.5
  done
  fail "$1: karuneo.exe still runs"
}

# The upgrade closes the window and replaces karuneo.exe, whose time is set
# back first so that a file left in place shows.
check_upgrade_while_running() {
  start_window
  touch -d 2000-01-01 "$install_dir/karuneo.exe"
  "$wine" "$setup" /S < /dev/null || fail "the upgrade while karuneo.exe ran failed ($?)"
  window_ended "after the upgrade"
  [ "$(stat -c %Y "$install_dir/karuneo.exe")" != "$(date -d 2000-01-01 +%s)" ] ||
    fail "the upgrade did not replace the running karuneo.exe"
  check_installed
}

check_uninstall_while_running() {
  start_window
  uninstall
  window_ended "after uninstalling"
  nothing_installed "after uninstalling while karuneo.exe ran"
}

# One installation per user: another folder is refused while one exists.
check_refuses_second_folder() {
  local folder=$work/second status=0
  "$wine" "$setup" /S "/D=$("$wine" winepath -w "$folder" 2> /dev/null)" < /dev/null 2> "$work/said" ||
    status=$?
  [ "$status" -eq 2 ] || fail "a second installation elsewhere gave $status, not 2"
  grep -q 'すでに「.*」にインストールされています' "$work/said" ||
    fail "the refusal did not say why: $(cat "$work/said")"
  [ ! -e "$folder" ] || fail "the refused second installation made $folder"
  check_installed
}

# The uninstaller leaves a file of the user's, and the folder with it; a
# new installation goes into that folder beside it.
check_reinstall_beside_users_file() {
  echo mine > "$install_dir/notes.txt"
  uninstall notes.txt
  ! key_exists "$apps_key" || fail "the Apps entry stayed after uninstalling"
  "$wine" "$setup" /S < /dev/null || fail "reinstalling beside a file of the user's failed ($?)"
  check_installed notes.txt
  uninstall notes.txt
  [ "$(cat "$install_dir/notes.txt")" = mine ] || fail "the user's file changed"
  rm "$install_dir/notes.txt"
  rmdir "$install_dir"
}

# A folder of the user's own, with a file of the same name as one of ours.
check_refuses_foreign_folder() {
  local folder=$work/own
  mkdir -p "$folder"
  echo mine > "$folder/readme.txt"
  local status=0
  "$wine" "$setup" /S "/D=$("$wine" winepath -w "$folder" 2> /dev/null)" < /dev/null 2> "$work/said" ||
    status=$?
  [ "$status" -ne 0 ] || fail "installed into a folder that held other files"
  grep -q '「readme.txt」がすでにあり' "$work/said" || fail "the refusal did not say why: $(cat "$work/said")"
  [ "$(ls -A "$folder")" = readme.txt ] && [ "$(cat "$folder/readme.txt")" = mine ] ||
    fail "the installer changed a folder it refused"
  ! key_exists "$apps_key" || fail "a refused installation wrote the Apps entry"
}

work=$(mktemp -d)
trap 'stop_wineserver; rm -rf "$work"' EXIT

# A check that failed half-way left its installation behind.
if [ -f "$install_dir/karuneo-uninstall.exe" ]; then
  echo "check-installer: uninstalling what an earlier check left"
  uninstall
fi
nothing_installed "before installing"
check_refuses_foreign_folder
"$wine" "$setup" /S < /dev/null || fail "the silent installation failed"
check_installed
check_refuses_second_folder
check_upgrade_while_running
check_uninstall_while_running
"$wine" "$setup" /S < /dev/null || fail "installing again failed"
check_reinstall_beside_users_file
nothing_installed "after uninstalling"
echo "The installer is fine ($(stat -c %s "$setup") bytes)"
