#!/usr/bin/env bash
# Installs what is missing, then configures, builds and tests every preset:
# native, with sanitizers (address and undefined behaviour; threads), and the
# 32-bit Windows build under Wine, and the page's WebAssembly build under
# node and headless Chromium (after linux, whose tool its tests compare
# with). Ends with one line that says whether
# everything passed.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/install.sh || { echo "Installing the tools failed."; echo "TESTS: 0 passed, 1 failed"; exit 1; }

presets=(linux linux-asan linux-tsan mingw32 wasm)
jobs="$(nproc)"
mkdir -p build
passed=0
failed=0
skipped=0
broken=()

for preset in "${presets[@]}"; do
  echo "=== ${preset}"
  build_log="build/${preset}-build.log"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j "$jobs"; } >"$build_log" 2>&1; then
    tail -n 60 "$build_log"
    broken+=("$preset (build)")
    continue
  fi
  # Our code builds without a single warning.
  if grep -q "warning:" "$build_log"; then
    grep -A3 "warning:" "$build_log" | head -n 40
    broken+=("$preset (warnings)")
  fi
  log="build/${preset}-ctest.log"
  ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log"
  summary="$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)"
  if [ -z "$summary" ]; then
    broken+=("$preset (ctest)")
    continue
  fi
  total="$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")"
  bad="$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$summary")"
  # Tests that cannot run on this machine (Wine without 32-bit support) are
  # disabled and reported by ctest as not run.
  skipped=$((skipped + $(grep -c '(Disabled)' "$log")))
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  [ "$bad" -eq 0 ] || broken+=("$preset")
done

# Checks over the builds above: the same details natively and under Wine,
# short fuzzing runs, formatting and lint.
for check in equivalence_check fuzz_smoke static_checks; do
  echo "=== ${check}"
  bash "scripts/${check}.sh"
  status=$?
  if [ "$status" -eq 0 ]; then
    passed=$((passed + 1))
  elif [ "$status" -eq 77 ]; then
    skipped=$((skipped + 1))
  else
    failed=$((failed + 1))
    broken+=("$check")
  fi
done

# Wine's server outlives the tests; stop it.
WINEPREFIX="$PWD/build/mingw32/wineprefix" wineserver -k >/dev/null 2>&1 || true

if [ ${#broken[@]} -eq 0 ] && [ "$failed" -eq 0 ]; then
  echo "Presets: ${presets[*]}; every build and check passed."
  echo "TESTS: ${passed} passed, 0 failed, ${skipped} skipped"
  exit 0
fi
echo "Failing: ${broken[*]}"
[ "$failed" -gt 0 ] || failed=${#broken[@]}
echo "TESTS: ${passed} passed, ${failed} failed, ${skipped} skipped"
exit 1
