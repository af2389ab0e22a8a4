# Shared by run.sh and test.sh: installs the Debian packages the build needs
# (only those missing, so a second run is quick) and configures and builds.
# Source it; it defines vard_install_packages and vard_build.

VARD_PACKAGES=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  liblua5.1-0-dev libstb-dev
  zlib1g-dev
  libsdl2-dev
  libsdl2-mixer-dev
  libgl1-mesa-dri
  xvfb
  xauth
  zenity
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
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# vard_build DIR [cmake options...]
vard_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
