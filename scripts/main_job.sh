#!/usr/bin/env bash
# Installs what is missing, builds the Linux preset and runs the main job:
# converts the bundled sample detail into its report, as the host would.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target qvmtsfrs_cli >/dev/null

report="$PWD/build/sample.report.xml"
# The sample's report was made under Russian settings (a comma in minutes).
export LC_ALL=ru_RU.UTF-8
echo "Detail: $(build/linux/qvmtsfrs name examples/sample.html)"
build/linux/qvmtsfrs convert examples/sample.html "$report"
echo "Report written to $report"
