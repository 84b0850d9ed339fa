#!/usr/bin/env bash
# The demo of ./run demo for a machine without a display: telx5-cli reads, writes and flashes the
# simulated device, each command printed before it runs. Expects the release build.
set -euo pipefail
cd "$(dirname "$0")/.."

cli=build/release/src/cli/telx5-cli
files=$(mktemp -d "${TMPDIR:-/tmp}/telx5-demo.XXXXXX")
trap 'rm -rf "$files"' EXIT
settings=$files/settings.ini
image=$files/demo.bin

# Prints a command as it could be typed, then runs it.
show() {
    local arg line=()
    for arg in "$@"; do
        if [[ $arg =~ ^[A-Za-z0-9_./:=+-]+$ ]]; then
            line+=("$arg")
        else
            line+=("'$arg'")
        fi
    done
    printf '\n$ %s\n' "${line[*]}"
    "$@"
}

show "$cli" --simulate read
show "$cli" default "$settings"
# Settings files end their lines with CR LF; the CR stays.
show sed -i 's/^COMMENT TEXT:[^\r]*/COMMENT TEXT:Changed by the demo/' "$settings"
show "$cli" --simulate write --verify "$settings"
printf '\n$ head -c 20000 /dev/urandom > %s\n' "$image"
head -c 20000 /dev/urandom >"$image"
show "$cli" --simulate flash "$image"

echo
echo "Where a display exists, ./run demo starts the window on the simulated device instead:"
echo "  build/release/src/ui/telx5-config --simulate"
