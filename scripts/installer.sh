#!/usr/bin/env bash
# The Windows Installer packages: Korvanel-<version>-x86.msi from the i686 DLLs (the package
# users install) and Korvanel-<version>-x64.msi from the x86_64 DLLs (for the checks under
# wine64), both from installer/korvanel.wxs, in build/installer. The DLLs must be built first
# (scripts/windows.sh build).
#
#   scripts/installer.sh          build both packages and check them
#   scripts/installer.sh build    only build them
#
# The checks: the x86 package's tables; then, under wine64 with the x64 package, that the
# package writes exactly the keys DllRegisterServer writes, that the add-in it installs
# connects, that removal leaves no key and no file, that a per-user installation writes only
# under HKCU, and that installing over an older version leaves one installation with the new
# files.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

mode=${1:-all}
i686=${KORVANEL_BUILD_I686:-build/mingw-i686}
x64=${KORVANEL_BUILD_X86_64:-build/mingw-x86_64}
out=build/installer
version=$(head -n1 VERSION)

fail() {
  printf 'FAILED: %s\n' "$*" >&2
  exit 1
}

# package ARCH BINDIR VERSION OUTPUT: wixl's package, with two of its table entries mended.
# wixl (0.101) writes the registry root HKMU as 4, which Windows Installer does not know: it
# is -1 (HKLM for a per-machine installation, HKCU for a per-user one). And it marks the action
# that sets the per-user folder as deferred (51 + 2048), whereas a folder must be set at once,
# before the costing (51).
package() {
  local arch=$1 bin=$2 ver=$3 msi=$4 tables
  # wixl finds the files only by a relative path.
  bin=$(realpath --relative-to=. "$bin")
  wixl -a "$arch" -D Arch="$arch" -D Version="$ver" -D BinDir="$bin" -o "$msi" \
    installer/korvanel.wxs 2> >(grep -v -e '^$' >&2) || fail "wixl $msi"
  tables=$(mktemp -d)
  msidump -d "$tables" -t "$msi" >/dev/null || fail "msidump $msi"
  mend "$tables/Registry.idt" '$2 == "4"' '$2 = "-1"'
  mend "$tables/CustomAction.idt" '$1 == "PerUserFolder"' '$2 = "51"'
  msibuild "$msi" -i "$tables/Registry.idt" -i "$tables/CustomAction.idt" || fail "msibuild $msi"
  rm -rf "$tables"
}

# mend TABLE.idt CONDITION ACTION: the awk action applied to the table's rows (after its three
# header lines) that meet the condition.
mend() {
  awk -F'\t' 'BEGIN { OFS = "\t" } NR > 3 && ('"$2"') { '"$3"' } { print }' "$1" >"$1.mended" &&
    mv "$1.mended" "$1"
}

build_packages() {
  step "build the installer packages"
  mkdir -p "$out"
  [ -f "$i686/bin/Korvanel.dll" ] && [ -f "$x64/bin/Korvanel.dll" ] ||
    fail "build the DLLs first (scripts/windows.sh build)"
  package x86 "$i686/bin" "$version" "$out/Korvanel-$version-x86.msi"
  package x64 "$x64/bin" "$version" "$out/Korvanel-$version-x64.msi"
  ls -l "$out"/*.msi
}

# --- the x86 package's tables -----------------------------------------------------------

check_tables() {
  local msi=$out/Korvanel-$version-x86.msi tables
  tables=$(mktemp -d)
  msidump -d "$tables" -t "$msi" >/dev/null
  for f in Korvanel.dll KorvanelPage.dll; do
    cut -f3 "$tables/File.idt" | grep -qx "$f" || fail "x86 package: no file $f"
  done
  # Every registry row under HKMU; the Addins key with its three values.
  local roots
  roots=$(awk -F'\t' 'NR > 3 { print $2 }' "$tables/Registry.idt" | sort -u | tr '\n' ' ')
  [ "$roots" = "-1 " ] || fail "x86 package: registry roots $roots"
  local addins='Software\Microsoft\Office\Outlook\Addins\Korvanel.Connect'
machineClasses='HKEY_LOCAL_MACHINE\Software\Classes'
userClasses='HKEY_CURRENT_USER\Software\Classes'
  local v
  for v in 'FriendlyName Korvanel' 'LoadBehavior #3' 'Description Korvanel answers'; do
    awk -F'\t' -v k="$addins" 'NR > 3 { sub(/\r$/, ""); sub(/\\$/, "", $3) }
                               NR > 3 && $3 == k { print $4 " " $5 }' "$tables/Registry.idt" |
      grep -qF "$v" || fail "x86 package: Addins value $v"
  done
  grep -qP 'TypeLib\\.*\\409\\win32\t' "$tables/Registry.idt" || fail "x86 package: no win32 type library"
  grep -qP "^ProductVersion\t$version\r?$" "$tables/Property.idt" || fail "x86 package: version"
  echo "x86 package: $(($(wc -l <"$tables/Registry.idt") - 3)) registry rows, files, Addins key and version as expected"
  rm -rf "$tables"
}

# --- under wine64 -------------------------------------------------------------------------

wine=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$' || true)
export WINEPREFIX="$PWD/$out/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
run() { "$wine" "$@"; }

clsids=('{68C1D618-8130-484D-86FA-461EF329C6E0}' '{5A13CED1-EAC5-4197-8EB3-3ABCD6DEC82C}'
        '{D39416F7-7F9E-4343-9BFC-E3F788519CE7}' '{3E84C511-48EC-49E1-9F55-4A80289004EF}')
progids=(Korvanel.Connect Korvanel.OutAddIn Korvanel.clsInspWrap Korvanel.KorvanelPage)
libids=('{9959327D-07D2-484A-B6B4-255E834116F4}' '{345508D5-8F38-410C-8170-D6B791F5D84C}')
iids=('{D055AF72-197E-4808-A605-330831180636}' '{2767AED6-9F39-4043-8491-9E7F5FC11A28}'
      '{869447D5-F192-4960-A47F-4243B969CD9A}' '{B4859F1F-9F1D-463A-9FAB-65C0BC8B382E}')
addins='Software\Microsoft\Office\Outlook\Addins\Korvanel.Connect'

# Every key Korvanel registers under a classes root and an Addins root, as regedit exports
# them (without the roots' own names), with the DLLs' folder DIR written <DIR>. One export of
# each root: starting a Wine process for each key would take minutes.
registered_keys() {
  local classes=$1 addinRoot=$2 dir=$3
  local ours
  ours=$(printf '%s|' "${clsids[@]/#/CLSID\\}" "${progids[@]}" "${libids[@]/#/TypeLib\\}" \
    "${iids[@]/#/Interface\\}" "$addins")
  { exported "$classes" && exported "$addinRoot\\$addins"; } |
    DIR="${dir//\\/\\\\}" awk -v ours="${ours%|}" '
      BEGIN { n = split(toupper(ours), keys, "|") }
      /^Windows Registry Editor/ { keep = 0; next }
      /^\[/ {
        name = substr($0, 2, length($0) - 2)
        sub(/^HKEY_[A-Z_]*\\(SOFTWARE\\CLASSES\\)?/, "", name)
        sub(/^Software\\Classes\\/, "", name)
        keep = 0
        for (i = 1; i <= n; i++) {
          k = keys[i]
          if (toupper(name) == k || index(toupper(name), k "\\") == 1) keep = 1
        }
        # Key names are compared without regard to case, as Windows finds them (the Wine
        # prefix has "Typelib" under HKLM where a new root gets "TypeLib").
        if (keep) print "[" toupper(name) "]"
        next
      }
      keep && NF {
        dir = ENVIRON["DIR"]
        i = index($0, dir)
        if (i) $0 = substr($0, 1, i - 1) "<DIR>" substr($0, i + length(dir))
        print
      }'
}

# A key and everything below it as regedit exports it, in UTF-8; nothing when it is absent.
exported() {
  local file
  file=$(mktemp --suffix=.reg)
  run regedit /e "$(run winepath -w "$file" | tr -d '\r')" "$1" >/dev/null 2>&1 || true
  iconv -f UTF-16 -t UTF-8 "$file" 2>/dev/null | tr -d '\r'
  rm -f "$file"
}

expect_nothing() {
  local where=$1 keys
  keys=$(registered_keys "$2" "$3" "unused")
  [ -z "$keys" ] || { echo "$keys" >&2; fail "$where"; }
}

installed_dir() { echo "$WINEPREFIX/drive_c/Program Files/Korvanel"; }

msi() {
  local action=$1 package=$2
  shift 2
  run msiexec "$action" "$(run winepath -w "$package" | tr -d '\r')" /qn "$@" || fail "msiexec $action $package $*"
}

check_under_wine() {
  [ -n "$wine" ] || fail "wine64 is not installed"
  local msi=$out/Korvanel-$version-x64.msi
  step "install, check and remove the x64 package under Wine"
  rm -rf "$WINEPREFIX"
  trap '"$(dirname "$wine")/wineserver" -k >/dev/null 2>&1 || true' EXIT
  run wineboot -i >/dev/null 2>&1 || fail "wineboot"

  # What DllRegisterServer writes, from the DLLs where they were built.
  local built
  built=$(run winepath -w "$x64/bin" | tr -d '\r')
  for dll in Korvanel KorvanelPage; do run regsvr32 /s "$x64/bin/$dll.dll" || fail "regsvr32 $dll"; done
  local selfRegistered
  selfRegistered=$(registered_keys "$machineClasses" HKEY_LOCAL_MACHINE "$built")
  for dll in Korvanel KorvanelPage; do run regsvr32 /s /u "$x64/bin/$dll.dll" || fail "regsvr32 /u $dll"; done
  expect_nothing "keys left after regsvr32 /u" "$machineClasses" HKEY_LOCAL_MACHINE

  # Per machine: the same keys, pointing at the installed files.
  msi /i "$msi"
  local dir
  dir=$(installed_dir)
  [ -f "$dir/Korvanel.dll" ] && [ -f "$dir/KorvanelPage.dll" ] || fail "files not installed"
  local packaged
  packaged=$(registered_keys "$machineClasses" HKEY_LOCAL_MACHINE 'C:\Program Files\Korvanel')
  # Two differences that say the same: the installer writes the help folder with its trailing
  # backslash, and Wine's RegisterTypeLib adds the has-a-disk-image bit (8) to the library's
  # flags, which the package writes as the library declares them (0).
  packaged=$(sed 's#^@="<DIR>\\\\"$#@="<DIR>"#' <<<"$packaged")
  selfRegistered=$(awk '/^\[/ { flags = ($0 ~ /\\FLAGS\]$/) } flags && $0 == "@=\"8\"" { $0 = "@=\"0\"" } { print }' <<<"$selfRegistered")
  [ "$packaged" = "$selfRegistered" ] || {
    diff <(echo "$selfRegistered") <(echo "$packaged") >&2 || true
    fail "the package's keys differ from DllRegisterServer's (< regsvr32, > package)"
  }
  echo "per machine: the package writes the $(grep -c '^\[' <<<"$packaged") keys DllRegisterServer writes"
  # The installed add-in is created by its ProgID and answers its host.
  run "$x64/bin/com_server_tests.exe" --gtest_brief=1 --gtest_filter='AddinHost.*' >/dev/null ||
    fail "the installed add-in does not connect"
  echo "per machine: the installed Korvanel.Connect connects through IDTExtensibility2"
  msi /x "$msi"
  expect_nothing "keys left after removal" "$machineClasses" HKEY_LOCAL_MACHINE
  [ ! -e "$dir" ] || fail "files left after removal: $(ls "$dir")"
  echo "per machine: removal leaves no key and no file"

  # Per user: everything under HKCU, nothing under HKLM, the files in the user's folder.
  # (ALLUSERS="" at a Windows prompt; from here Wine would pass the quotes on as characters.)
  msi /i "$msi" 'ALLUSERS='
  local userDll
  userDll=$(find "$WINEPREFIX/drive_c/users" -path '*/Programs/Korvanel/Korvanel.dll' | head -n1)
  [ -n "$userDll" ] || fail "a per-user installation did not put its files in the user's folder"
  expect_nothing "a per-user installation wrote under HKLM" "$machineClasses" HKEY_LOCAL_MACHINE
  local perUser
  perUser=$(registered_keys "$userClasses" HKEY_CURRENT_USER \
    "$(run winepath -w "$(dirname "$userDll")" | tr -d '\r')")
  perUser=$(sed 's#^@="<DIR>\\\\"$#@="<DIR>"#' <<<"$perUser")
  [ "$perUser" = "$packaged" ] || {
    diff <(echo "$packaged") <(echo "$perUser") >&2 || true
    fail "a per-user installation did not write the same keys under HKCU (< per machine, > per user)"
  }
  msi /x "$msi" 'ALLUSERS='
  [ ! -e "$userDll" ] || fail "files left after a per-user removal"
  expect_nothing "keys left after a per-user removal" "$userClasses" HKEY_CURRENT_USER
  echo "per user: every key under HKCU, none under HKLM, none left after removal"

  # An upgrade: an older package, whose files differ, replaced in place.
  local old=$out/old
  rm -rf "$old" && mkdir -p "$old"
  for dll in Korvanel KorvanelPage; do
    cp "$x64/bin/$dll.dll" "$old/" && printf 'older' >>"$old/$dll.dll"
  done
  package x64 "$old" 0.9.0 "$old/Korvanel-0.9.0-x64.msi"
  msi /i "$old/Korvanel-0.9.0-x64.msi"
  cmp -s "$old/Korvanel.dll" "$dir/Korvanel.dll" || fail "the older package's files are not installed"
  msi /i "$msi"
  for dll in Korvanel KorvanelPage; do
    cmp -s "$x64/bin/$dll.dll" "$dir/$dll.dll" || fail "the upgrade left the older $dll.dll"
  done
  local products
  products=$(exported 'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall' |
    grep -c '^"DisplayName"="Korvanel"$' || true)
  [ "$products" = 1 ] || fail "after the upgrade $products installations of Korvanel are listed"
  msi /x "$msi"
  expect_nothing "keys left after removing the upgrade" "$machineClasses" HKEY_LOCAL_MACHINE
  [ ! -e "$dir" ] || fail "files left after removing the upgrade"
  echo "upgrade: one installation, with the new files; its removal leaves nothing"
}

ensure_packages
if ! command -v wixl >/dev/null || ! command -v msibuild >/dev/null; then
  fail "wixl and msitools are missing (scripts/lib.sh installs them)"
fi
build_packages
[ "$mode" = build ] && exit 0
check_tables
check_under_wine
step "installer checks passed"
