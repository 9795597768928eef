#!/usr/bin/env bash
# Installs everything the build, the tests and the benchmarks need on Debian 12 (as root).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git clang-format
  qt6-base-dev qt6-svg-dev qt6-pdf-dev qt6-translations-l10n libgl-dev libshp-dev fonts-liberation2
  libgtest-dev libgmock-dev libbenchmark-dev libdxflib-dev
  python3 python3-ezdxf python3-dbfread
  xvfb xauth x11-utils xdotool imagemagick poppler-utils librsvg2-bin libxml2-utils
  lintian desktop-file-utils appstream file
  clang-14 clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
