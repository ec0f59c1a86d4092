#!/usr/bin/env bash
# Formatting and lint: clang-format over our C++ sources, clang-tidy over the
# library, the tool and the benchmarks (and, through the test that replays
# them, the fuzz checks) with the compile commands of a build folder.
#   scripts/static_checks.sh [BUILD_DIR]     (default build/static-checks)
# The build folder is configured here (nothing is built). Ends with one line
# saying whether both checks passed.
set -uo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${1:-$root/build/static-checks}"

existing() { while read -r file; do [ -f "$file" ] && echo "$file"; done; }

mapfile -t format_files < <(git ls-files 'src/*.cpp' 'src/*.h' 'cli/*.cpp' 'cli/*.h' 'listing/*.cpp' 'listing/*.h' 'driver/*.cpp' 'driver/*.h' \
  'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' \
  'windows/*.cpp' 'web/*.cpp' 'web/*.h' | existing)
# The Linux build compiles no _win32 file, so clang-tidy has no command for it.
mapfile -t tidy_files < <(git ls-files 'src/*.cpp' 'cli/*.cpp' 'listing/*.cpp' 'driver/*.cpp' 'bench/*.cpp' \
  'tests/fuzz_regressions/*.cpp' | grep -v '_win32\.cpp$' | existing)

failed=()

echo "=== clang-format (${#format_files[@]} files)"
unformatted=()
for file in "${format_files[@]}"; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -eq 0 ]; then
  echo "all files formatted"
else
  printf '  needs clang-format: %s\n' "${unformatted[@]}"
  failed+=("clang-format (${#unformatted[@]} files)")
fi

echo "=== clang-tidy (${#tidy_files[@]} files)"
mkdir -p "$build"
if ! cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >"$build/configure.log" 2>&1; then
  tail -n 20 "$build/configure.log"
  failed+=("clang-tidy (configuring $build failed)")
else
  tidy_log="$build/clang-tidy.log"
  run-clang-tidy -quiet -p "$build" -j 2 "${tidy_files[@]}" >"$tidy_log" 2>&1
  # Each finding once, without colours; headers are reported by every file that includes them.
  findings="$(sed 's/\x1b\[[0-9;]*m//g' "$tidy_log" | grep -E '^/.*: (warning|error): ' | sort -u)"
  if [ -z "$findings" ]; then
    echo "no findings"
  else
    echo "$findings"
    failed+=("clang-tidy ($(wc -l <<<"$findings") findings)")
  fi
fi

if [ ${#failed[@]} -eq 0 ]; then
  echo "STATIC CHECKS: passed"
  exit 0
fi
echo "STATIC CHECKS: FAILED: ${failed[*]}"
exit 1
