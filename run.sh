#!/usr/bin/env bash
# Installs what is missing, builds, and opens the game window on the demo
# module (or on the module path given: the whole command line is the path).
set -euo pipefail
cd "$(dirname "$0")"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display to open the game window on; run it as: xvfb-run -a ./run.sh" >&2
  exit 1
fi
source tools/setup.sh
vard_install_packages
vard_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARD_SANITIZE=OFF
exec build/bin/vard "$@"
