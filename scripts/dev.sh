#!/usr/bin/env bash
# Set-up, build, run and test on Debian 12.
#   scripts/dev.sh run    install what is missing, build, start the window
#   scripts/dev.sh package  install what is missing, make a release build and
#                         its Debian package (build-release/orvanta_*.deb)
#   scripts/dev.sh test   install what is missing, check the layer direction
#                         of the includes and the formatting, build, run the
#                         test suite, then again under the sanitizers (preset
#                         asan), then each fuzz target for ORVANTA_FUZZ_SECONDS
#                         (default 60) seconds (preset fuzz)
# Both are idempotent: packages already present and an up-to-date build are
# left alone.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-webengine-dev libgl-dev
    qt6-declarative-dev qml6-module-qtwebengine qml6-module-qtquick qml6-module-qtqml-workerscript
    libcurl4-openssl-dev libjpeg62-turbo-dev libbenchmark-dev libgumbo-dev liborcus-dev
    fonts-wqy-microhei
    libqt6svg6 qt6-translations-l10n
)
# Making and checking the Debian package (cpack, dpkg-shlibdeps).
package_packages=(dpkg-dev file)
test_packages=(python3 clang clang-format libclang-rt-14-dev git "${package_packages[@]}")

install_missing() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The C++ sources: those git tracks, or, in a tree that is not a repository
# (a source archive), every one outside the build and hidden folders.
list_sources() {
    if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ]; then
        git ls-files -z -- '*.cpp' '*.h'
    else
        find . \( -path './build*' -o -path './.*' \) -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print0
    fi
}

build() {
    [ -f build/CMakeCache.txt ] || cmake --preset default
    cmake --build --preset default
}

case "${1:-}" in
run)
    install_missing "${packages[@]}"
    build
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display: DISPLAY and WAYLAND_DISPLAY are not set, so the window cannot open." >&2
        echo "Run this from a desktop session, or under a virtual one (packages xvfb and xauth):" >&2
        echo "xvfb-run -a scripts/dev.sh run" >&2
        exit 1
    fi
    exec build/bin/orvanta
    ;;
package)
    install_missing "${packages[@]}" "${package_packages[@]}"
    [ -f build-release/CMakeCache.txt ] || cmake --preset release
    cmake --build --preset release
    (cd build-release && cpack -G DEB)
    ls build-release/orvanta_*.deb
    ;;
test)
    install_missing "${packages[@]}" "${test_packages[@]}"
    # Includes run one way between the layers; the tree is in the house style.
    python3 scripts/check-layers.py
    list_sources | xargs -0 -r clang-format --dry-run --Werror
    build
    ctest --preset default -j2
    # The same suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
    [ -f build-asan/CMakeCache.txt ] || cmake --preset asan
    cmake --build --preset asan
    ctest --preset asan -j2
    # The fuzz targets (clang, libFuzzer), each for a bounded time; a crash,
    # a leak or a broken property fails.
    cmake --preset fuzz -DORVANTA_FUZZ_SECONDS="${ORVANTA_FUZZ_SECONDS:-60}" >/dev/null
    cmake --build --preset fuzz
    ctest --preset fuzz -j2
    ;;
*)
    echo "usage: scripts/dev.sh run|test|package" >&2
    exit 2
    ;;
esac
