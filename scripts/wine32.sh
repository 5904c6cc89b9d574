#!/usr/bin/env bash
# 32-bit Wine on a machine that runs only 64-bit programs, for the i686 DLLs that Outlook
# 2003/2007 load: Debian's wine32:i386 (the version of the installed wine64, whose
# wineserver it shares) runs under qemu-i386 from the backports suite's qemu-user. Both are
# downloaded with a private APT configuration and unpacked into build/wine32; the system's
# packages and its Wine are left as they are. A second run reuses the folder and downloads
# nothing.
#
#   scripts/wine32.sh setup               only prepare build/wine32
#   scripts/wine32.sh PROGRAM [ARGS...]   run PROGRAM under 32-bit Wine in $WINEPREFIX
#                                         (prefix in the folder unless given), made when missing
#
# Sourced, it defines wine32_setup, which prepares the folder and sets $wine32 to the wine
# command and $wine32_prefix to a pristine prefix to copy. KORVANEL_WINE32 moves the folder.
set -euo pipefail

# The 32-bit libraries of X beyond wine32's own dependencies, for programs that open windows.
wine32_x_libraries=(libxrender1 libxi6 libxrandr2 libxcursor1 libxfixes3 libxinerama1
                    libxcomposite1 libxxf86vm1)

wine32_fail() {
  printf 'wine32.sh: %s\n' "$*" >&2
  exit 1
}

# The private APT configuration: its own sources, lists, status and cache in DIR/apt, and
# none of the system's configuration files or hooks.
wine32_apt_config() {
  local apt=$1 codename=$2 keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/parts" "$apt/log"
  touch "$apt/status"
  # The machine's Debian suites, then the backports suite from the same mirror.
  apt-get indextargets --no-release-info --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' \
    'Created-By: Packages' | sort -u |
    awk -v c="$codename" -v k="$keyring" '
      $2 == c || index($2, c "-") == 1 { print "deb [signed-by=" k "] " $1 " " $2 " main" }
      $2 == c { print "deb [signed-by=" k "] " $1 " " c "-backports main" }' |
    sort -u >"$apt/sources.list"
  grep -q -- "-backports" "$apt/sources.list" ||
    wine32_fail "no Debian $codename suite in the machine's APT sources"
  cat >"$apt/apt.conf" <<EOF
APT::Architecture "i386";
APT::Architectures { "i386"; "amd64"; };
APT::Install-Recommends "false";
APT::Sandbox::User "root";
Acquire::Languages "none";
Debug::NoLocking "true";
Dir::Etc::main "/dev/null";
Dir::Etc::parts "$apt/parts";
Dir::Etc::preferences "/dev/null";
Dir::Etc::preferencesparts "$apt/parts";
Dir::Etc::sourcelist "$apt/sources.list";
Dir::Etc::sourceparts "$apt/parts";
Dir::State "$apt";
Dir::State::lists "$apt/lists";
Dir::State::status "$apt/status";
Dir::Cache "$apt";
Dir::Cache::archives "$apt/archives";
Dir::Log "$apt/log";
EOF
}

# The .deb files of the packages apt-get would install, as they lie in the cache.
wine32_deb_files() {
  apt-get install -s "$@" | awk '/^Inst / {
    name = $2; sub(/:.*/, "", name)
    version = $3; sub(/^\(/, "", version); gsub(/:/, "%3a", version)
    match($0, /\[[a-z0-9]+\]\)/); arch = substr($0, RSTART + 1, RLENGTH - 3)
    print name "_" version "_" arch ".deb" }'
}

# apt-get with its messages in LOG; on failure, its first error as one line.
wine32_apt() {
  local log=$1 what=$2
  shift 2
  if ! apt-get "$@" >>"$log" 2>&1; then
    local error
    error=$(grep -m1 '^E: ' "$log" | sed 's/^E: //') || true
    wine32_fail "cannot $what: ${error:-apt-get failed} (apt-get's messages are in $log)"
  fi
}

# Unpacks the packages into ROOT and makes Wine run there under qemu-i386.
wine32_unpack() {
  local root=$1 archives=$2
  shift 2
  rm -rf "$root"
  mkdir -p "$root/usr/lib" "$root/usr/bin" "$root/usr/sbin"
  for d in lib bin sbin; do ln -s "usr/$d" "$root/$d"; done
  local deb
  for deb in "$@"; do
    [ -f "$archives/$deb" ] || wine32_fail "missing from the download: $deb"
    if [[ $deb == qemu-user_* ]]; then
      dpkg-deb --fsys-tarfile "$archives/$deb" | tar -x -C "$root" ./usr/bin/qemu-i386
    else
      dpkg-deb --fsys-tarfile "$archives/$deb" |
        tar -x --keep-directory-symlink -C "$root" --exclude=./usr/share/doc \
          --exclude=./usr/share/man --exclude=./usr/share/locale
    fi
  done
  [ -x "$root/usr/bin/qemu-i386" ] || wine32_fail "qemu-user has no qemu-i386"
  # What libwine's installation script does: zlib from mingw-w64, marked as a Wine builtin
  # (without it user32.dll does not load).
  local pair
  for pair in i686:i386 x86_64:x86_64; do
    local in=$root/usr/${pair%%:*}-w64-mingw32/lib/zlib1.dll
    local out=$root/usr/lib/i386-linux-gnu/wine/${pair##*:}-windows/zlib1.dll
    { head -c 64 "$in"; printf 'Wine builtin DLL'; head -c 16 /dev/zero; tail -c +97 "$in"; } >"$out"
  done
  # Wine starts its child processes by running its loader again, which this kernel refuses
  # for a 32-bit program: the loader's name now runs it under qemu-i386. The server is
  # libwine's wineserver script, which picks the system's native 64-bit server.
  local lib=$root/usr/lib/wine
  mv "$lib/wine" "$lib/wine.i386"
  cat >"$lib/wine" <<'EOF'
#!/bin/sh
root=$(cd "$(dirname "$0")/../../.." && pwd)
exec "$root/usr/bin/qemu-i386" -L "$root" -0 "$root/usr/lib/wine/wine" \
  "$root/usr/lib/wine/wine.i386" "$@"
EOF
  chmod +x "$lib/wine"
}

# Prepares the folder unless it is ready for the installed wine64; sets $wine32 and
# $wine32_prefix, a pristine 32-bit prefix to copy (making one runs hundreds of
# registrations, minutes under emulation; a copy takes seconds).
wine32_setup() {
  local dir=${KORVANEL_WINE32:-$PWD/build/wine32}
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  local root=$dir/root
  wine32=$root/usr/lib/wine/wine
  wine32_prefix=$dir/prefix-pristine
  local version
  version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null) ||
    wine32_fail "wine64 is not installed; its wineserver serves the 32-bit Wine"
  # The folder is made anew for another Wine version or another set of libraries.
  if [ "$(cat "$root/.ready" 2>/dev/null)" != "$version ${wine32_x_libraries[*]}" ]; then
    rm -rf "$wine32_prefix"
    # In a subshell: APT_CONFIG stays with the download.
    (wine32_prepare "$dir" "$version") || exit 1
  else
    echo "32-bit Wine $version: $dir is ready, nothing to download"
  fi
  [ -f "$wine32_prefix/.ready" ] && return 0
  printf '32-bit Wine: making the prefix %s\n' "$wine32_prefix"
  local start=$SECONDS
  rm -rf "$wine32_prefix"
  WINEPREFIX=$wine32_prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
    "$wine32" wineboot -i >/dev/null 2>&1 || wine32_fail "wineboot cannot make $wine32_prefix"
  # The prefix's files are complete once its server has saved the registry and ended.
  WINEPREFIX=$wine32_prefix "$root/usr/lib/wine/wineserver" -w
  touch "$wine32_prefix/.ready"
  echo "32-bit Wine: prefix made in $((SECONDS - start)) s"
}

# Downloads (what the cache lacks) and unpacks the packages of Wine VERSION into DIR.
wine32_prepare() {
  local dir=$1 version=$2 start=$SECONDS
  local root=$dir/root apt=$dir/apt log=$dir/apt.log codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || wine32_fail "cannot tell the Debian release from /etc/os-release"
  wine32_apt_config "$apt" "$codename"
  export APT_CONFIG=$apt/apt.conf
  : >"$log"
  # The loader and the server must be of one Wine version.
  local packages=("wine32:i386=$version" "qemu-user:amd64/$codename-backports")
  packages+=("${wine32_x_libraries[@]/%/:i386}")
  printf '32-bit Wine: reading the package lists of %s\n' \
    "$(awk '{print $4}' "$apt/sources.list" | tr '\n' ' ')"
  wine32_apt "$log" "read Debian's package lists" update
  local debs
  debs=$(wine32_deb_files "${packages[@]}" 2>>"$log") || true
  if [ -z "$debs" ]; then
    wine32_apt "$log" "find wine32:i386 $version and qemu-user in Debian" install -s "${packages[@]}"
    wine32_fail "apt-get names no package to install for wine32:i386 $version"
  fi
  # The cache keeps what an interrupted run downloaded: only what it lacks is fetched.
  local missing
  missing=$(apt-get install --print-uris -qq "${packages[@]}" | awk '{n++; s += $3} END {
    if (n) printf "%d package%s, %.1f MB", n, n == 1 ? "" : "s", s / 1e6 }')
  printf '32-bit Wine %s: wine32:i386 with the %d packages it needs and qemu-user from %s-backports, from Debian into %s (to download: %s)\n' \
    "$version" "$(($(wc -l <<<"$debs") - 2))" "$codename" "$dir" "${missing:-nothing}"
  wine32_apt "$log" "download the 32-bit Wine from Debian" install --download-only -y "${packages[@]}"
  # shellcheck disable=SC2086
  wine32_unpack "$root" "$apt/archives" $debs
  echo "$version ${wine32_x_libraries[*]}" >"$root/.ready"
  printf '32-bit Wine: downloaded and unpacked into %s (%s) in %d s\n' "$root" \
    "$(du -sh "$root" | cut -f1)" $((SECONDS - start))
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  cd "$(dirname "$0")/.."
  wine32_setup
  [ "${1:-setup}" != setup ] || exit 0
  export WINEARCH=win32 WINEPREFIX=${WINEPREFIX:-$(dirname "$wine32_prefix")/prefix}
  export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  [ -e "$WINEPREFIX" ] || cp -a "$wine32_prefix" "$WINEPREFIX"
  exec "$wine32" "$@"
fi
