#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game on the demo module
# (or on the module path given as the first argument).
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
vard_install_packages
vard_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARD_SANITIZE=OFF
module=${1:-build/bin/module.vard}
exec build/bin/vardinfo --module "$module"
