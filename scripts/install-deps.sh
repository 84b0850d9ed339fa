#!/usr/bin/env bash
# The one list of the Debian 12 packages the project needs, in four groups:
#   scripts/install-deps.sh          building, running and testing: ./run test, asan and demo
#   scripts/install-deps.sh format   clang-format and git (which lists the sources), for ./run format only (165 MB of LLVM)
#   scripts/install-deps.sh package  making and checking the .deb: ./run package, scripts/check-package.sh
#   scripts/install-deps.sh fuzz     Clang, libFuzzer (libclang_rt.fuzzer), llvm-symbolizer: ./run fuzz
# Each command of ./run calls it for its group; when everything is present it does nothing slow.
set -euo pipefail

build=(
    cmake
    g++
    ninja-build
    pkg-config
    qt6-base-dev
    # Qt's platform interface, for one test that queues a click as the window system does.
    qt6-base-private-dev
    qt6-base-dev-tools
    qt6-serialport-dev
    qt6-tools-dev
    qt6-tools-dev-tools
    qt6-l10n-tools
    qt6-qpa-plugins
    # Qt's own texts in Chinese: the standard buttons and the file dialog.
    qt6-translations-l10n
    libgl-dev
    fonts-dejavu-core
    fonts-noto-cjk
    fonts-wqy-microhei
    scdoc
    librsvg2-bin
    # scripts/stop-sweep.py, which .ci/run runs on the optimised build.
    python3
)
format=(
    clang-format
    git
)
package=(
    dpkg-dev
    file
    lintian
    man-db
    appstream
    desktop-file-utils
    # A clean Debian 12 root for scripts/check-package.sh to install the package into.
    debootstrap
    xvfb
    xauth
    xdotool
    imagemagick
)
fuzz=(
    clang
    libclang-rt-14-dev
    llvm
)

case "${1:-build}" in
build) packages=("${build[@]}") ;;
format) packages=("${format[@]}") ;;
package) packages=("${package[@]}") ;;
fuzz) packages=("${fuzz[@]}") ;;
*)
    echo "usage: scripts/install-deps.sh [build | format | package | fuzz]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Run this script as root (or with sudo) to install them: sudo $0 $*" >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
