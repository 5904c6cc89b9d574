# Shared by the project's scripts: package installation and configuration.

# What the demonstration needs; the tests need everything.
demo_packages=(g++ cmake make nlohmann-json3-dev)
packages=("${demo_packages[@]}" libgtest-dev libgmock-dev libbenchmark-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64-win32 mingw-w64-tools wine64 libwine-dev
          googletest wixl msitools xvfb xauth imagemagick clang libclang-rt-14-dev)

step() { printf '\n==> %s\n' "$*"; }

# ensure_packages [NAME...]: installs what is missing of the names given, by default of
# every package the tests need.
ensure_packages() {
  local missing=() wanted=("$@")
  ((${#wanted[@]})) || wanted=("${packages[@]}")
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    step "installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

# configure DIR [CMAKE ARGS...]: an optimised build unless the arguments say otherwise.
configure() {
  local dir=$1
  shift
  # ccache, where a developer has it, makes rebuilds across several build folders cheap.
  if command -v ccache >/dev/null; then set -- -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@"; fi
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}
