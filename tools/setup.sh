# Shared by run.sh and test.sh: installs the Debian packages the build needs
# (only those missing, so a second run is quick), configures and builds.
# Source it; it defines vard_install_packages, vard_configure and vard_build.

VARD_PACKAGES=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  liblua5.1-0-dev libstb-dev
  zlib1g-dev
  libsdl2-dev
  libx11-dev
  libsdl2-mixer-dev
  libgl1-mesa-dri
  xvfb
  xauth
  # SDL draws its message boxes with the X server's core fonts, which a bare
  # virtual display lacks: without them no box shows.
  xfonts-base
  zenity
  # GNU time: the tests measure the peak memory of the tools they run.
  time
  libepoxy-dev
  libegl-mesa0
  libfreetype-dev
  libfontconfig-dev
  fonts-liberation2
  libpng-dev
  libturbojpeg0-dev
)

vard_install_packages() {
  local missing=()
  local package
  for package in "${VARD_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  # Another install may hold the package lock (a desktop's updater, a
  # first-boot script): wait for it rather than fail.
  local apt=(apt-get -o DPkg::Lock::Timeout=300)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive "${apt[@]}" update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}

# Prints the versions of the packages whose state decides the GL, window and
# sanitizer tests, so that a failure names the machine it ran on.
vard_print_versions() {
  local asan
  asan=$(dpkg -S "$(readlink -f "$(g++ -print-file-name=libasan.so)")" 2>/dev/null | cut -d: -f1 | head -n1)
  dpkg-query -W -f='${Package} ${Version}\n' \
    g++ ${asan:+"$asan"} libubsan1 libsdl2-2.0-0 libsdl2-mixer-2.0-0 \
    libgl1 libgl1-mesa-dri libglx-mesa0 libegl-mesa0 libepoxy0 libx11-6 xvfb libdbus-1-3 2>&1 |
    sed 's/^/package: /' || true
}

# vard_configure DIR [cmake options...]
vard_configure() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}

# vard_build DIR [target...]: every target when none is named.
vard_build() {
  local dir=$1
  shift
  cmake --build "$dir" -j "$(nproc)" ${1:+--target "$@"}
}
