#!/usr/bin/env bash
# Builds the unit tests of the codecs, the file writers, the colouring, the editor control, the
# settings' text forms and the tag set files with AddressSanitizer and UndefinedBehaviorSanitizer
# (the asan preset) and runs them. Every report fails the run. Usage: scripts/sanitize.sh
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
