#!/usr/bin/env bash
# Builds the .deb packages (./run package) and checks them as installed, by hand, not in CI:
# unpacks them into a clean temporary root, shows that every library of the three programs
# resolves, runs telx5-cli against its simulated device and against the installed telx5-sim,
# presses "Read data" in the window under Xvfb and takes a screenshot of it
# (build/package/check-screenshot.png), renders a man page and runs lintian,
# desktop-file-validate and appstreamcli on the packages.
set -euo pipefail
cd "$(dirname "$0")/.."

./run package

root=$(mktemp -d "${TMPDIR:-/tmp}/telx5-package.XXXXXX")
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$root"
}
trap cleanup EXIT

step() {
    printf '\n== %s\n' "$*"
}

debs=(build/package/telx5-config_*.deb build/package/telx5-config-udev_*.deb)
step "unpacking ${debs[*]} into $root"
for deb in "${debs[@]}"; do
    dpkg -x "$deb" "$root"
done
(cd "$root" && find . -type f | sort)
bin=$root/usr/bin
# The programs find everything else in themselves or in the system: no path into the build tree.
export HOME=$root/home
mkdir -p "$HOME"

step "libraries of the three programs"
for program in telx5-config telx5-cli telx5-sim; do
    if readelf -d "$bin/$program" | grep -E 'R(UN)?PATH'; then
        echo "$program: carries a library path" >&2
        exit 1
    fi
    libraries=$(ldd "$bin/$program")
    if grep 'not found' <<<"$libraries"; then
        echo "$program: a library does not resolve" >&2
        exit 1
    fi
    echo "$program: $(wc -l <<<"$libraries") libraries, all resolved"
    grep -E 'libQt6' <<<"$libraries" | sed 's/ (0x.*//'
done

step "telx5-cli --version"
"$bin/telx5-cli" --version

step "telx5-cli --simulate read (the simulated device inside the program)"
"$bin/telx5-cli" --simulate read >"$root/simulated.ini"
grep -a -E '^(CALLSIGN|FREQ|COMMENT TEXT):' "$root/simulated.ini"

step "telx5-sim, and telx5-cli read from its port"
coproc SIM { exec "$bin/telx5-sim"; }
# shellcheck disable=SC2153 # set by coproc
sim_pid=$SIM_PID
read -r -u "${SIM[0]}" port
echo "telx5-sim answers on $port"
"$bin/telx5-cli" --port "$port" read >"$root/sim.ini"
cmp "$root/simulated.ini" "$root/sim.ini"
echo "the same settings as from the simulated device inside the program"
kill "$sim_pid"
wait "$sim_pid" 2>/dev/null || true
sim_pid=

step "telx5-config --simulate under Xvfb"
shot=build/package/check-screenshot.png
rm -f "$shot"
trace=$root/window-trace.txt
# shellcheck disable=SC2016 # the inner script takes the program, the picture and the trace as $1 to $3
LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 800x600x24' bash -c '
    set -euo pipefail
    "$1" --simulate --trace "$3" &
    window=$!
    trap "kill $window 2>/dev/null || true" EXIT
    id=
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "aprs config" || true)
        [ -n "$id" ] && break
        sleep 0.2
    done
    if [ -z "$id" ]; then
        echo "the window did not appear" >&2
        exit 1
    fi
    sleep 1
    echo "window: $(xdotool getwindowname "$id")"
    # "Read data" by its key, F5 (the menu bar moves the buttons by its height, which depends on the
    # font); the simulated device answers within seconds.
    xdotool windowfocus --sync "$id"
    xdotool key F5
    sleep 6
    import -window root "$2"
' check "$bin/telx5-config" "$shot" "$trace"
identify "$shot"
# The press reached the window only if the read line went out and the device answered to its end.
# The trace's text column, one direction at a time, joined across its lines.
traced() {
    grep " $1 " "$trace" | sed 's/^.*|\(.*\)|$/\1/' | tr -d '\n'
}
grep -q "AT+READ#" <<<"$(traced '>')" || {
    echo "the window sent no AT+READ#: Read data was not pressed" >&2
    exit 1
}
grep -q "READ END" <<<"$(traced '<')" || {
    echo "the window's read did not get to READ END" >&2
    exit 1
}
echo "the window read the simulated device: AT+READ# went out, READ END came back"

step "man telx5-cli, from the unpacked tree"
found=$(MANPATH=$root/usr/share/man man -w telx5-cli)
echo "man finds $found"
[[ $found == "$root"/* ]] || {
    echo "man telx5-cli did not come from the package" >&2
    exit 1
}
page=$(MANPATH=$root/usr/share/man MANWIDTH=80 man telx5-cli 2>&1)
head -n 8 <<<"$page"
for section in COMMANDS OPTIONS 'EXIT STATUS' ENVIRONMENT FILES; do
    grep -q "^$section" <<<"$page" || {
        echo "telx5-cli(1) has no $section" >&2
        exit 1
    }
done
echo "... $(wc -l <<<"$page") lines"

step "desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/telx5-config.desktop"
echo "telx5-config.desktop: valid"

step "appstreamcli validate (a file:// screenshot address is reported as an error)"
appstreamcli validate --no-net "$root/usr/share/metainfo/telx5-config.metainfo.xml" || true

step "lintian"
lintian --pedantic "${debs[@]}"
echo "lintian: no errors"
