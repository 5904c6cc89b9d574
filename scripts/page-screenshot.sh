#!/usr/bin/env bash
# Screenshots of the Options page as Outlook shows it in its Options dialog, on Outlook 2003
# and 2007, with a few identities and one long enough to need the list's horizontal scroll
# bar: options-page-2003.png and options-page-2007.png in FOLDER (default build/screenshots).
# Uses the x86_64 Windows build that scripts/test.sh (or scripts/windows.sh) made, under
# Wine, on a virtual display when there is none.
#
#   scripts/page-screenshot.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

out=${1:-build/screenshots}
x64=${KORVANEL_BUILD_X86_64:-build/mingw-x86_64}

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
[ -f "$x64/CMakeCache.txt" ] || {
  echo "no Windows build in $x64: run scripts/test.sh first" >&2
  exit 1
}
cmake --build "$x64" -j"$(nproc)" --target KorvanelPage page_preview >/dev/null

wine=$(dpkg -L wine64 | grep -m1 '/wine64$')
export WINEPREFIX="$PWD/$x64/screenshot-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$(dirname "$wine")/wineserver" -k >/dev/null 2>&1 || true' EXIT
if [ ! -d "$WINEPREFIX" ]; then
  "$wine" wineboot -i >/dev/null 2>&1
  # Without a window manager Wine draws the dialog's caption and frame itself.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
"$wine" regsvr32 /s "$x64/bin/KorvanelPage.dll"

mkdir -p "$out"
work=$(mktemp -d)
for version in 11 12; do
  name=$([ $version = 11 ] && echo 2003 || echo 2007)
  ready="$work/ready-$version" done="$work/done-$version"
  "$wine" "$x64/bin/page_preview.exe" $version "$("$wine" winepath -w "$ready" | tr -d '\r')" \
    "$("$wine" winepath -w "$done" | tr -d '\r')" &
  preview=$!
  for _ in $(seq 600); do [ -s "$ready" ] || ! kill -0 $preview 2>/dev/null && break; sleep 0.1; done
  [ -s "$ready" ] || {
    echo "the page did not show on Outlook $name" >&2
    exit 1
  }
  sleep 1  # let the dialog finish painting
  import -window root -crop "$(cat "$ready")" +repage "$out/options-page-$name.png"
  touch "$done"
  wait $preview
  echo "$out/options-page-$name.png"
done
rm -rf "$work"
