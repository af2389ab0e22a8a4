#!/usr/bin/env bash
# Installs what is missing, builds the game and the demo module, and opens
# the game window on the demo module (or on the module path given: the whole
# command line is the path).
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
vard_install_packages
vard_configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARD_SANITIZE=OFF
vard_build build vard demo_module
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: built build/bin/vard, but there is no display to open its window on; run it as: xvfb-run -a ./run.sh" >&2
  exit 1
fi
exec build/bin/vard "$@"
