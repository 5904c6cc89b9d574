#!/usr/bin/env bash
# The Windows deliverables: builds Korvanel.dll and KorvanelPage.dll for i686 (what a user
# installs) and x86_64 (the same sources), checks the import and export tables of all four,
# and for each architecture under Wine registers the DLLs with regsvr32, checks the keys
# with Wine's own `reg`, runs the registry contract and the COM tests, runs every scenario
# file with korvanel-sim.exe --over-com, the real DLLs against the served simulation, and
# compares its trace with the Linux tool's; unregisters and checks that the keys are gone.
# x86_64 runs under the system's wine64; i686, which this machine cannot run natively, under
# the 32-bit Wine that scripts/wine32.sh sets up in build/wine32.
#
#   scripts/windows.sh          everything
#   scripts/windows.sh x86_64   build everything, check only x86_64 under Wine (or i686)
#   scripts/windows.sh build    only build the four DLLs (bin/ of build/mingw-i686 and
#                               build/mingw-x86_64)
#   scripts/windows.sh wine-checks [ARCH]   only the checks under Wine, on what is built
#   scripts/windows.sh bench    the cost of the real Korvanel.dll over COM (served_bench.exe)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
source scripts/wine32.sh

mode=${1:-all}
jobs=$(nproc)
# The i686 folder is the one of scripts/test.sh's portable cross-compile, whose libraries it
# reuses. Both can be moved (a developer's own build folders) with these variables.
i686=${KORVANEL_BUILD_I686:-build/mingw-i686}
x64=${KORVANEL_BUILD_X86_64:-build/mingw-x86_64}
dlls=(Korvanel KorvanelPage)
wine_tests=(advapi_registry_tests com_server_tests com_bridge_tests messaging_tests)
# Tests that show windows; they run on a virtual display.
wine_window_tests=(shell_window_tests served_tests page_control_tests)
# The Linux tool whose traces the Windows one must reproduce.
linux_build=${KORVANEL_BUILD:-build}

# build_dlls [tests]: the DLLs, and with an argument the test programs beside them.
build_dlls() {
  step "build the Windows DLLs (i686 and x86_64)"
  # The i686 programs test the optimised DLLs that users install.
  configure "$i686" -DKORVANEL_PORTABLE_ONLY=ON -DKORVANEL_WINDOWS=ON \
    -DKORVANEL_WINDOWS_TESTS=ON -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake"
  cmake --build "$i686" -j"$jobs" --target "${dlls[@]}" ${1:+"${wine_tests[@]}"} \
    ${1:+"${wine_window_tests[@]}" korvanel-sim}
  # The x86_64 build exists for the tests: unoptimised, it compiles fastest.
  configure "$x64" -DKORVANEL_PORTABLE_ONLY=ON -DKORVANEL_WINDOWS=ON -DCMAKE_BUILD_TYPE= \
    -DKORVANEL_WINDOWS_TESTS=ON -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-x86_64.cmake"
  # With the tests comes page_preview, which scripts/page-screenshot.sh runs.
  cmake --build "$x64" -j"$jobs" --target "${dlls[@]}" ${1:+"${wine_tests[@]}"} \
    ${1:+"${wine_window_tests[@]}" korvanel-sim page_preview}
}

fail() {
  printf 'FAILED: %s\n' "$*" >&2
  exit 1
}

# Only system DLLs may be imported (Wine would quietly stub anything else); mapi32's
# functions must be imported by their decorated names on i686; the exports are exactly the
# four of a COM server.
check_tables() {
  local arch=$1 dll=$2 dump
  dump=$("$arch"-w64-mingw32-objdump -p "$dll")
  local imports
  imports=$(awk '/DLL Name:/ {print toupper($3)}' <<<"$dump" | sort -u)
  local allowed=" ADVAPI32.DLL GDI32.DLL KERNEL32.DLL MAPI32.DLL MSVCRT.DLL OLE32.DLL OLEAUT32.DLL SHELL32.DLL USER32.DLL "
  for d in $imports; do
    [[ $allowed == *" $d "* ]] || fail "$dll imports $d"
  done
  if [ "$arch" = i686 ]; then
    local undecorated
    undecorated=$(awk '/DLL Name:/ {dll=toupper($3); next}
                       dll=="MAPI32.DLL" && NF==3 && $1 ~ /^[0-9a-f]+$/ && $3 !~ /@[0-9]+$/ {print $3}
                       /^$/ {dll=""}' <<<"$dump")
    [ -z "$undecorated" ] || fail "$dll imports undecorated MAPI names: $undecorated"
  fi
  local exports
  exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && NF==0 {on=0}
                 on {print $NF}' <<<"$dump" | sort | tr '\n' ' ')
  [ "$exports" = "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer " ] ||
    fail "$dll exports: $exports"
  echo "$arch $(basename "$dll"): imports $(tr '\n' ' ' <<<"$imports")- exports as expected"
}

# --- Wine ------------------------------------------------------------------------------
# The same checks run for each architecture: x86_64 under the system's wine64, i686 (the
# DLLs users install) under the 32-bit Wine of scripts/wine32.sh. While they run, these
# name the architecture, its wine command, its prefix and the folder of its programs.
arch="" wine="" prefix="" bin=""
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

run() { WINEPREFIX=$prefix WINEARCH=$(winearch) "$wine" "$@"; }

# The prefix's wineserver: libwine's script beside the loader, which picks the native one.
# A server started first makes the prefix, of the architecture it is told.
server() { WINEPREFIX=$prefix WINEARCH=$(winearch) "$(dirname "$wine")/wineserver" "$@"; }

winearch() { if [ "$arch" = x86_64 ]; then echo win64; else echo win32; fi; }

build_dir() { if [ "$1" = i686 ]; then echo "$i686"; else echo "$x64"; fi; }

wine64_command() {
  dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$' || fail "wine64 is not installed"
}

# use_wine ARCH PREFIX: the following commands run ARCH's programs in PREFIX.
use_wine() {
  arch=$1 prefix=$2 bin=$(build_dir "$1")/bin
  if [ "$arch" = x86_64 ]; then wine=$(wine64_command); else
    [ -n "${wine32:-}" ] || wine32_setup
    wine=$wine32
  fi
}

# `reg query` output without carriage returns and blank lines.
query() { run reg query "$@" 2>/dev/null | tr -d '\r' | sed '/^$/d'; }

# An emulated Wine process takes seconds to start, so HKEY_CLASSES_ROOT is read whole, once
# after registering and once after unregistering, and the keys are looked up in that.
hkcr=""
read_classes() {
  hkcr=$(query HKCR /s) || fail "$arch: reg query HKCR"
  # A listing without Wine's own classes is no listing: nothing could be found absent in it.
  grep -q '^HKEY_CLASSES_ROOT\\CLSID\\' <<<"$hkcr" || fail "$arch: reg query HKCR listed no classes"
}

# KEY (its full name) with its values and everything below it, as `reg query KEY /s` lists it.
subtree() {
  key=$1 awk 'BEGIN { k = toupper(ENVIRON["key"]) }
              /^[^ ]/ { h = toupper($0); on = h == k || index(h, k "\\") == 1 }
              on' <<<"$hkcr"
}

expect_keys() {
  local key=$1 expected=$2 actual
  actual=$(subtree "$key")
  [ -n "$actual" ] || fail "$arch: missing: $key"
  [ "$actual" = "$expected" ] || {
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    fail "$arch: registry under $key"
  }
}

expect_default() {
  local key=$1 expected=$2 line
  line=$(subtree "$key" | awk 'NR > 1 && /^[^ ]/ { exit } NR > 1 { sub(/^ +/, ""); print }' |
    grep '^(Default)') || fail "$arch: missing: $key"
  [ "$line" = "(Default)    REG_SZ    $expected" ] || fail "$arch: $key: '$line', expected '$expected'"
}

expect_absent() {
  [ -z "$(subtree "$1")" ] || fail "$arch: still registered: $1"
}

# The class keys as the server writes them: CLSID and ProgID.
class_keys() {
  local clsid=$1 progid=$2 path=$3 libid=$4 control=${5:-}
  local c="HKEY_CLASSES_ROOT\\CLSID\\$clsid"
  cat <<EOS
$c
    (Default)    REG_SZ    $progid
EOS
  [ -z "$control" ] || echo "$c\\Control"
  cat <<EOS
$c\\InprocServer32
    (Default)    REG_SZ    $path
    ThreadingModel    REG_SZ    Apartment
EOS
  # A control active whenever visible, inside-out, its site set first (OLEMISC_* 0x20191).
  [ -z "$control" ] || cat <<EOS
$c\\MiscStatus
    (Default)    REG_SZ    0
$c\\MiscStatus\\1
    (Default)    REG_SZ    131473
EOS
  cat <<EOS
$c\\ProgID
    (Default)    REG_SZ    $progid
$c\\TypeLib
    (Default)    REG_SZ    $libid
$c\\VERSION
    (Default)    REG_SZ    1.0
EOS
}

progid_keys() {
  cat <<EOS
HKEY_CLASSES_ROOT\\$2
    (Default)    REG_SZ    $2
HKEY_CLASSES_ROOT\\$2\\CLSID
    (Default)    REG_SZ    $1
EOS
}

addin_lib='{9959327D-07D2-484A-B6B4-255E834116F4}'
page_lib='{345508D5-8F38-410C-8170-D6B791F5D84C}'
classes=(
  "{68C1D618-8130-484D-86FA-461EF329C6E0} Korvanel.Connect Korvanel $addin_lib"
  "{5A13CED1-EAC5-4197-8EB3-3ABCD6DEC82C} Korvanel.OutAddIn Korvanel $addin_lib"
  "{D39416F7-7F9E-4343-9BFC-E3F788519CE7} Korvanel.clsInspWrap Korvanel $addin_lib"
  "{3E84C511-48EC-49E1-9F55-4A80289004EF} Korvanel.KorvanelPage KorvanelPage $page_lib control"
)
interfaces=('{D055AF72-197E-4808-A605-330831180636}' '{2767AED6-9F39-4043-8491-9E7F5FC11A28}'
            '{869447D5-F192-4960-A47F-4243B969CD9A}' '{B4859F1F-9F1D-463A-9FAB-65C0BC8B382E}')
outlook_key='HKLM\Software\Microsoft\Office\Outlook\Addins\Korvanel.Connect'

check_registered() {
  read_classes
  local platform=win64 dir entry clsid progid dll libid control
  [ "$arch" = x86_64 ] || platform=win32
  dir=$(run winepath -w "$bin" | tr -d '\r')
  for entry in "${classes[@]}"; do
    read -r clsid progid dll libid control <<<"$entry"
    expect_keys "HKEY_CLASSES_ROOT\\CLSID\\$clsid" \
      "$(class_keys "$clsid" "$progid" "$dir\\$dll.dll" "$libid" "$control")"
    expect_keys "HKEY_CLASSES_ROOT\\$progid" "$(progid_keys "$clsid" "$progid")"
  done
  local lib="HKEY_CLASSES_ROOT\\TypeLib\\$addin_lib\\1.0"
  expect_default "$lib" "Korvanel COM  Add-In for Outlook 2003/2007"
  expect_default "$lib\\409\\$platform" "$dir\\Korvanel.dll"
  lib="HKEY_CLASSES_ROOT\\TypeLib\\$page_lib\\1.0"
  expect_default "$lib" "Property Page Extension for Korvanel COM add-in"
  expect_default "$lib\\409\\$platform" "$dir\\KorvanelPage.dll"
  local addin description
  addin=$(query "$outlook_key" /s) || fail "$arch: missing: $outlook_key"
  description=$(grep -m1 '^ *Description ' <<<"$addin") || true
  [ "$addin" = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\Outlook\\Addins\\Korvanel.Connect
$description
    FriendlyName    REG_SZ    Korvanel
    LoadBehavior    REG_DWORD    0x3" ] || fail "$arch: registry under $outlook_key: $addin"
  # One sentence: a capital letter first, a full stop last, no full stop and blank between.
  grep -E 'REG_SZ    [A-Z].*\.$' <<<"$description" | grep -vqF '. ' ||
    fail "$arch: the add-in's description is not one sentence"
  echo "$arch registration: every key and value as documented"
}

check_unregistered() {
  read_classes
  local entry clsid progid rest
  for entry in "${classes[@]}"; do
    read -r clsid progid rest <<<"$entry"
    expect_absent "HKEY_CLASSES_ROOT\\CLSID\\$clsid"
    expect_absent "HKEY_CLASSES_ROOT\\$progid"
  done
  for iid in "${interfaces[@]}"; do expect_absent "HKEY_CLASSES_ROOT\\Interface\\$iid"; done
  expect_absent "HKEY_CLASSES_ROOT\\TypeLib\\$addin_lib"
  expect_absent "HKEY_CLASSES_ROOT\\TypeLib\\$page_lib"
  ! run reg query "$outlook_key" >/dev/null 2>&1 || fail "$arch: still registered: $outlook_key"
  echo "$arch unregistration: every key removed"
}

# Every scenario file, the Options page's among them (the real KorvanelPage.dll in the served
# Options dialog, worked with window messages): the trace of the real DLLs over COM must be
# the Linux tool's, byte for byte.
over_com_checks() {
  step "$arch: scenario files over COM: korvanel-sim.exe run --over-com against korvanel-sim run"
  # Built each time, not only when missing: a stale Linux tool shows false differences.
  [ -f "$linux_build/CMakeCache.txt" ] || configure "$linux_build"
  cmake --build "$linux_build" -j"$jobs" --target korvanel-sim >/dev/null
  local f name out compared=0
  out=$(build_dir "$arch")
  for f in tests/scenarios/files/*.json; do
    case $f in *.expect.json) continue ;; esac
    name=$(basename "$f" .json)
    "$linux_build/bin/korvanel-sim" run "$f" --json >"$out/$name.linux.json" ||
      fail "korvanel-sim run $f"
    run "$bin/korvanel-sim.exe" run "$f" --json --over-com >"$out/$name.com.json" ||
      fail "$arch: korvanel-sim.exe run $f --over-com"
    diff -u "$out/$name.linux.json" "$out/$name.com.json" >&2 ||
      fail "$arch: $name: the trace over COM differs from the Linux one"
    echo "$name: the same trace over COM"
    compared=$((compared + 1))
  done
  [ "$compared" -gt 0 ] || fail "no scenario file was compared over COM"
}

# new_prefix [PRISTINE]: the prefix made anew, a copy of PRISTINE when given, with one server
# for all the programs of the run (a first program after the server ended starts slowly under
# emulation), ended when the run or this script ends.
new_prefix() {
  local pristine=${1:-}
  server -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
  if [ -n "$pristine" ]; then cp -a "$pristine" "$prefix"; else mkdir -p "$prefix"; fi
  trap 'server -k >/dev/null 2>&1 || true' EXIT
  server -p
  [ -n "$pristine" ] || run wineboot -i >/dev/null 2>&1 || fail "$arch: wineboot"
}

# wine_checks ARCH: in a prefix of ARCH's made anew (a copy of the pristine 32-bit prefix for
# i686), registers ARCH's DLLs with regsvr32, checks the keys, runs the test programs and the
# scenario files over COM, unregisters and checks that the keys are gone. The programs need a
# display.
wine_checks() {
  local start=$SECONDS
  use_wine "$1" "$PWD/$(build_dir "$1")/wine-prefix"
  step "$arch: register, test and unregister under Wine"
  if [ "$arch" = i686 ]; then new_prefix "$wine32_prefix"; else new_prefix; fi
  # Windows of their own, not left to a window manager: without one, Wine would wait for it
  # each time a window goes.
  run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
    fail "$arch: Wine's window settings"
  local paths=("${dlls[@]/#/$bin/}")
  paths=("${paths[@]/%/.dll}")
  run regsvr32 /s "${paths[@]}" || fail "$arch: regsvr32 ${dlls[*]}"
  check_registered
  # The test programs find the DLLs beside them, as COM finds them by their registered path.
  for t in "${wine_tests[@]}" "${wine_window_tests[@]}"; do
    run "$bin/$t.exe" --gtest_brief=1 || fail "$arch: $t"
  done
  # Every scenario file on both architectures: the full set takes well under two minutes
  # even under the emulated 32-bit Wine.
  over_com_checks
  run regsvr32 /s /u "${paths[@]}" || fail "$arch: regsvr32 /u ${dlls[*]}"
  check_unregistered
  # A second unregistration finds nothing to remove and still succeeds.
  run regsvr32 /s /u "$bin/Korvanel.dll" || fail "$arch: second regsvr32 /u"
  server -k
  trap - EXIT
  echo "$arch: Wine checks passed in $((SECONDS - start)) s"
}

# with_display COMMAND...: on the display there is, or on a virtual one.
with_display() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1024x768x24" "$@"; fi
}

# The benchmark under Wine, on a prefix of its own with the DLLs registered.
run_bench() {
  use_wine x86_64 "$PWD/$x64/wine-prefix"
  new_prefix
  run regsvr32 /s "$bin/Korvanel.dll" || fail "regsvr32 Korvanel.dll"
  run "$bin/served_bench.exe"
}

case $mode in
  wine-checks)
    shift
    arches=(x86_64 i686)
    [ $# = 0 ] || arches=("$@")
    for a in "${arches[@]}"; do [[ $a == @(x86_64|i686) ]] || fail "no architecture $a"; done
    if [ -z "${DISPLAY:-}" ]; then
      # The 32-bit Wine is prepared before the display, so its messages come first.
      if [[ " ${arches[*]} " == *" i686 "* ]]; then
        step "32-bit Wine (scripts/wine32.sh)"
        wine32_setup
        export wine32 wine32_prefix
      fi
      exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" wine-checks "${arches[@]}"
    fi
    for a in "${arches[@]}"; do wine_checks "$a"; done
    exit 0
    ;;
  bench-inside)
    run_bench
    exit 0
    ;;
  bench)
    ensure_packages
    build_dlls
    cmake --build "$x64" -j"$jobs" --target served_bench
    with_display "$0" bench-inside
    exit 0
    ;;
  build | all | i686 | x86_64) ;;
  *) fail "unknown mode $mode (all, x86_64, i686, build, wine-checks [ARCH], bench)" ;;
esac
ensure_packages
if [ "$mode" = build ]; then
  build_dlls
  ls -l "$i686"/bin/*.dll "$x64"/bin/*.dll
  exit 0
fi
build_dlls tests
step "check the import and export tables"
for a in i686 x86_64; do
  for dll in "${dlls[@]}"; do check_tables "$a" "$(build_dir "$a")/bin/$dll.dll"; done
done
arches=(x86_64 i686)
[ "$mode" = all ] || arches=("$mode")
"$0" wine-checks "${arches[@]}"
step "Windows checks passed"
