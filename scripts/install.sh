#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, as root. Quick when
# everything is already there: apt is only asked when something is missing.
set -euo pipefail

# googletest: the sources under /usr/src/googletest that the Windows tests build.
# pkgconf: the install test builds a client through pkg-config.
# libcli11-dev: the option parser of the qvmtsfrs tool (header-only).
# emscripten, nodejs: the page's WebAssembly build and its tests; chromium:
# the page's tests in a real browser.
packages=(cmake ninja-build g++ libgtest-dev googletest g++-mingw-w64-i686 wine wine32:i386 locales
          clang libclang-rt-14-dev clang-format clang-tidy pkgconf libcli11-dev
          nodejs emscripten chromium)
locales=(ru_RU en_US)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# wine32 is an i386 package.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install.sh: installing ${missing[*]}"
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests run under a Russian and an English UTF-8 locale.
for name in "${locales[@]}"; do
  if ! locale -a 2>/dev/null | grep -qix "${name}\.utf-\?8"; then
    echo "install.sh: generating ${name}.UTF-8"
    as_root localedef -i "$name" -c -f UTF-8 -A /usr/share/locale/locale.alias "${name}.UTF-8"
  fi
done
