#!/usr/bin/env bash
# Installs what is missing, builds the Linux preset and runs the main job:
# the plug-in's captions, as the host would show them.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target qvmtsfrs_cli >/dev/null

build/linux/qvmtsfrs captions
