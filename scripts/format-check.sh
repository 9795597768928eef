#!/usr/bin/env bash
# Fails when a C++ source differs from what the project's .clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run -Werror "${sources[@]}"
echo "formatting: ${#sources[@]} files as .clang-format has them"
