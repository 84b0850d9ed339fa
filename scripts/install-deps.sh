#!/usr/bin/env bash
# Installs every Debian 12 package that the build, the tests and the simulated-device demo need.
# Both commands of the README call this script; when everything is present it does nothing slow.
set -euo pipefail

packages=(
    cmake
    g++
    ninja-build
    pkg-config
    clang-format
    qt6-base-dev
    qt6-base-dev-tools
    qt6-serialport-dev
    qt6-tools-dev
    qt6-tools-dev-tools
    qt6-l10n-tools
    qt6-qpa-plugins
    libgl-dev
    fonts-dejavu-core
    fonts-noto-cjk
)

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
    echo "Run this script as root (or with sudo) to install them." >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
