#!/usr/bin/env bash
# Prepares the Wine prefix $WINEPREFIX (made if missing) the way a Japanese
# Windows looks: Japanese fonts where the window asks for MS PGothic and
# for the system's message and caption fonts. With "null" as argument the
# prefix gets Wine's null graphics driver, so that windows can be created
# without any display (the tests); without it Wine draws on $DISPLAY.
# Expects a running wineserver for $WINEPREFIX.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"

made_now=false
[ -f "$WINEPREFIX/system.reg" ] || made_now=true
"$wine" wineboot -i < /dev/null > /dev/null 2>&1
# Debian's Wine does not find the fonts it ships.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

# Names written by `wine reg` come out garbled past ASCII; regedit reads a
# UTF-16 file faithfully. A LOGFONTW is 92 bytes: height, width,
# escapement, orientation, weight (32 bits each), eight single bytes and a
# face name of 32 UTF-16 units; -12 is 9 points at 96 DPI.
logfont() {
  python3 - "$1" <<'PY'
import struct, sys
face = sys.argv[1].encode("utf-16-le").ljust(64, b"\0")
data = struct.pack("<5i8B", -12, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0) + face
print("hex:" + ",".join(f"{b:02x}" for b in data))
PY
}
ui_font="Meiryo UI"
graphics=""
if [ "${1:-}" = null ]; then
  graphics='[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Graphics"="null"'
else
  graphics='[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Graphics"=-'
fi
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
  cat <<REG
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine]
"ShowDotFiles"="Y"

$graphics

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"ＭＳ Ｐゴシック"="Noto Sans CJK JP"
"ＭＳ ゴシック"="Noto Sans CJK JP"
"MS PGothic"="Noto Sans CJK JP"
"MS UI Gothic"="Noto Sans CJK JP"
"$ui_font"="Noto Sans CJK JP"

[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]
REG
  for metric in CaptionFont SmCaptionFont MenuFont StatusFont MessageFont IconFont; do
    echo "\"$metric\"=$(logfont "$ui_font")"
  done
} | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE > "$reg.body"
{ printf '\xff\xfe'; cat "$reg.body"; } > "$reg"
rm -f "$reg.body"
"$wine" regedit /S "Z:${reg//\//\\}" < /dev/null > /dev/null 2>&1

# The services Wine starts while it makes a prefix never bring up RpcSs, so
# every later program that uses COM (the window, the tests of registration)
# waited 10 s at its start for it, the test stage minutes in all. Started
# again on the finished prefix, they do, here: one started on demand by a
# test would hold that test's output open, and ctest wait for it.
if $made_now; then
  wineserver -k || true
  wineserver -w
  start_wineserver
  "$wine" wineboot -i < /dev/null > /dev/null 2>&1
fi
