#!/usr/bin/env bash
# Installs what is missing, builds Tavlen with its tests and runs every test headless, checks the
# sources with clang-tidy, then runs the fuzzers for about a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake --preset dev
cmake --build --preset dev
ctest --preset dev
scripts/tidy.sh
scripts/fuzz.sh
