#!/usr/bin/env bash
# A short libFuzzer run of every fuzz target, starting from the committed
# seeds, in the fuzz preset's build (clang with ASan and UBSan).
#   scripts/fuzz_smoke.sh [SECONDS_PER_TARGET]      (default 50)
# QV_FUZZ_BUILD names another build folder, configured like the preset.
# Inputs that fail are left in <build>/fuzz-smoke/<target>/ (crash-*, leak-*,
# timeout-*, oom-*). Ends with one line saying whether every target passed.
set -uo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

seconds="${1:-50}"
targets=(scanner utf8 dates_numbers conversion naming)

if [ -n "${QV_FUZZ_BUILD:-}" ]; then
  build="$QV_FUZZ_BUILD"
  configure=(cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
             -DCMAKE_CXX_COMPILER=clang++ -DQV_FUZZ=ON -DQV_TESTS=OFF)
else
  build="$root/build/fuzz"
  configure=(cmake --preset fuzz)
fi
mkdir -p "$build"
build_log="$build/fuzz-smoke-build.log"
if ! { "${configure[@]}" && cmake --build "$build" -j 2 --target "${targets[@]/#/fuzz_}"; } \
    >"$build_log" 2>&1; then
  tail -n 40 "$build_log"
  echo "FUZZ SMOKE: FAILED (building the targets failed, see $build_log)"
  exit 1
fi

# The fuzz build compiles the library with clang: its warnings count too.
if grep -q "warning:" "$build_log"; then
  grep -A3 "warning:" "$build_log" | head -n 40
  echo "FUZZ SMOKE: FAILED (the build gave warnings, see $build_log)"
  exit 1
fi

work="$build/fuzz-smoke"
rm -rf "$work"
failing=()
for target in "${targets[@]}"; do
  dir="$work/$target"
  mkdir -p "$dir/corpus"
  cp "$root/fuzz/corpus/$target/"* "$dir/corpus/"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192
           -print_final_stats=1 -artifact_prefix="$dir/")
  case "$target" in
    conversion | naming) options+=(-dict="$root/fuzz/detail.dict") ;;
  esac
  # The locale of the tests, so that file names and code pages match them.
  if (cd "$dir" && LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 TZ=Europe/Moscow \
        UBSAN_OPTIONS=print_stacktrace=1 \
        "$build/fuzz/fuzz_$target" "${options[@]}" corpus) >"$dir/log" 2>&1; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log")"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log")"
    echo "fuzz_$target: ${runs:-?} runs, ${rate:-?} per second, no findings"
  else
    echo "fuzz_$target: FAILED"
    grep -E 'fuzz check failed|ERROR: |SUMMARY: |^    #[0-9]+ ' "$dir/log" | head -n 30
    ls "$dir" | grep -E '^(crash|leak|timeout|oom|slow-unit)-' | sed "s|^|  input: $dir/|"
    failing+=("$target")
  fi
done

if [ ${#failing[@]} -eq 0 ]; then
  echo "FUZZ SMOKE: all ${#targets[@]} targets passed (${seconds} s each)"
  exit 0
fi
echo "FUZZ SMOKE: FAILED: ${failing[*]}"
exit 1
