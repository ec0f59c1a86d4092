#!/usr/bin/env bash
# Names and converts the same details natively (the qvmtsfrs tool of a Linux
# build, LC_ALL=ru_RU.UTF-8) and through qvhost.exe and qvmtsfrs.dll under
# Wine (LANG=ru_RU.UTF-8, code page 1251), and requires identical names and
# identical report bytes, exit statuses and messages.
#   scripts/equivalence_check.sh [LINUX_BUILD] [MINGW_BUILD]
# (default build/linux and build/mingw32, as the presets leave them; the
# Linux build must hold bench/generate_detail too). The details: the bundled
# sample, two generated ones of 1 MiB, and the seeds of the conversion and
# naming fuzz targets; all under ASCII names, with numeric subscriber numbers.
set -uo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
linux="$(realpath -m "${1:-build/linux}")"
mingw="$(realpath -m "${2:-build/mingw32}")"

native_tool="$linux/qvmtsfrs"
generator="$linux/bench/generate_detail"
host="$mingw/qvhost.exe"
for needed in "$native_tool" "$generator" "$host" "$mingw/qvmtsfrs.dll"; do
  if [ ! -x "$needed" ] && [ ! -f "$needed" ]; then
    echo "EQUIVALENCE: FAILED (missing $needed)"
    exit 1
  fi
done

# A machine that cannot run 32-bit programs cannot run Wine's 32-bit side.
if ! wine --version >/dev/null 2>&1; then
  echo "EQUIVALENCE: SKIPPED (Wine cannot run 32-bit programs on this machine)"
  exit 77
fi

work="$linux/equivalence"
rm -rf "$work"
mkdir -p "$work/details" "$work/native" "$work/wine"
cd "$work/details"
"$generator" --sample sample.html >/dev/null &&
  "$generator" generated1.html 1 1 >/dev/null &&
  "$generator" generated2.html 1 20260 >/dev/null || {
  echo "EQUIVALENCE: FAILED (generating the details failed)"
  exit 1
}
# The fuzz seeds start with two bytes of settings choices.
for target in conversion naming; do
  for seed in "$root/fuzz/corpus/$target/"*; do
    tail -c +3 "$seed" >"seed_${target}_$(basename "$seed").html"
  done
done
details=(*.html)

export WINEPREFIX="${WINEPREFIX:-$mingw/wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
run_native() { LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 TZ=Europe/Moscow "$native_tool" "$@"; }
run_wine() { LANG=ru_RU.UTF-8 LC_ALL= TZ=Europe/Moscow wine "$host" "$@"; }

# Relative paths, so that the filename element is the same on both sides.
run_native name "${details[@]}" >"$work/native/names.txt" 2>"$work/native/names.err"
run_wine name "${details[@]}" >"$work/wine/names.txt" 2>"$work/wine/names.err"
for detail in "${details[@]}"; do
  run_native convert "$detail" "../native/${detail%.html}.xml" 2>>"$work/native/convert.err"
  echo "$detail $?" >>"$work/native/status.txt"
  run_wine convert "$detail" "../wine/${detail%.html}.xml" 2>>"$work/wine/convert.err"
  echo "$detail $?" >>"$work/wine/status.txt"
done

# The messages, without the program's name in front.
for side in native wine; do
  sed 's/^[^:]*: //' "$work/$side/convert.err" >"$work/$side/messages.txt"
done

differences=0
for file in names.txt status.txt messages.txt; do
  if ! cmp -s "$work/native/$file" "$work/wine/$file"; then
    echo "differs: $file"
    diff "$work/native/$file" "$work/wine/$file" | head -n 20
    differences=$((differences + 1))
  fi
done
reports=0
for report in "$work/native/"*.xml; do
  name="$(basename "$report")"
  reports=$((reports + 1))
  if ! cmp "$report" "$work/wine/$name"; then
    differences=$((differences + 1))
  fi
done
if [ "$differences" -ne 0 ]; then
  echo "EQUIVALENCE: FAILED ($differences differences; see $work)"
  exit 1
fi
echo "EQUIVALENCE: ${#details[@]} names and $reports reports identical natively and under Wine"
exit 0
