#!/usr/bin/env bash
# Installs the Debian 12 packages Tavlen needs to build, run and test, skipping those already there.
# Usage: scripts/deps.sh [run|test]   (test adds the tools the tests, benchmarks and fuzzers use)
set -euo pipefail

build_pkgs=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev qt6-webengine-dev
            libpcre2-dev libacl1-dev libattr1-dev libxxhash-dev libgumbo-dev libgl-dev libx11-dev
            libfontconfig-dev fonts-noto-cjk xvfb xauth qt6-translations-l10n)
test_pkgs=(nkf libglib2.0-bin desktop-file-utils poppler-utils xdg-utils shared-mime-info
           appstream xdotool x11-utils openbox acl attr clang clang-format libclang-rt-14-dev)

wanted=("${build_pkgs[@]}")
if [ "${1:-run}" = test ]; then
    wanted+=("${test_pkgs[@]}")
fi

missing=()
for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Tavlen: installing Debian packages: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Tavlen: run as root or install sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
