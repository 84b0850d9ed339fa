#!/usr/bin/env bash
# Builds the .deb packages (./run package) and checks them as installed, by hand, not in CI:
# unpacks them into a clean temporary root, shows that every library of the three programs
# resolves, runs telx5-cli against its simulated device and against the installed telx5-sim,
# presses "Read data" in the window under Xvfb and takes a screenshot of it
# (build/package/check-screenshot.png), renders a man page, installs telx5-config with
# `apt-get install --no-install-recommends` into a clean Debian 12 root and starts the window
# there, and runs lintian, desktop-file-validate and appstreamcli on the packages.
# As root: the clean root is made with debootstrap and entered with chroot.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
    echo "check-package.sh installs the package into a clean root with debootstrap and chroot: run it as root" >&2
    exit 1
fi

./run package

root=$(mktemp -d "${TMPDIR:-/tmp}/telx5-package.XXXXXX")
sim_pid=
# The clean Debian root: made once by debootstrap and kept in build/check-root/bookworm-minbase,
# copied afresh for every run into build/check-root/run; the packages apt downloads there are
# kept in build/check-root/archives for the next run.
cache=build/check-root
clean=$cache/run
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
    fi
    if mountpoint -q "$clean/proc"; then
        umount "$clean/proc"
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

step "apt-get install --no-install-recommends into a clean Debian 12 (debootstrap --variant=minbase bookworm)"
base=$cache/bookworm-minbase
if [ ! -e "$cache/bookworm-minbase.done" ]; then
    rm -rf "$base"
    mkdir -p "$cache"
    debootstrap --variant=minbase bookworm "$base" http://deb.debian.org/debian
    touch "$cache/bookworm-minbase.done"
fi
rm -rf "$clean"
cp -a "$base" "$clean"
mkdir -p "$cache/archives"
find "$cache/archives" -name '*.deb' -exec cp {} "$clean/var/cache/apt/archives/" \;
cp /etc/resolv.conf "$clean/etc/resolv.conf"
app_deb=$(ls build/package/telx5-config_*.deb)
cp "$app_deb" "$clean/tmp/"
mount -t proc proc "$clean/proc"
in_clean() {
    chroot "$clean" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive "$@"
}
in_clean apt-get update -qq
deb_inside=/tmp/$(basename "$app_deb")
# What the Recommends would add on top, shown only: apt answers the question "Do you want to
# continue?" with no.
with_recommends=$(in_clean apt-get install --assume-no "$deb_inside" 2>&1 || true)
echo "with Recommends: $(grep -E 'newly installed' <<<"$with_recommends")"
grep -E '^After this operation' <<<"$with_recommends" || true
packages_before=$(in_clean dpkg-query -W | wc -l)
size_before=$(du -smx --exclude="$clean/var/cache/apt" "$clean" | cut -f1)
started=$(date +%s)
in_clean apt-get install -y -q --no-install-recommends "$deb_inside" >"$root/apt.log"
seconds=$(($(date +%s) - started))
grep -E 'newly installed|^After this operation' "$root/apt.log"
packages_after=$(in_clean dpkg-query -W | wc -l)
size_after=$(du -smx --exclude="$clean/var/cache/apt" "$clean" | cut -f1)
echo "installed in ${seconds} s: $((packages_after - packages_before)) packages, the root grew from ${size_before} MB to ${size_after} MB (downloads not counted)"
cp "$clean"/var/cache/apt/archives/*.deb "$cache/archives/"
# The window, as a user starts it, with no display: offscreen. The program has no option that
# builds the window and ends, so it runs for 8 s and must still be running then (timeout's 124);
# a missing library or platform plugin ends it at once. LC_ALL=C opens no language box, so the
# window is built and shown right away; /proc shows the offscreen plugin and the Widgets library
# in the process while it runs.
in_clean env QT_QPA_PLATFORM=offscreen LC_ALL=C timeout 8 telx5-config \
    >"$root/window.log" 2>&1 &
window_pid=$!
sleep 5
# The one whose root is the clean root, whatever else runs on the machine.
window=
for pid in $(pgrep -x telx5-config || true); do
    if [ "$(readlink "/proc/$pid/root")" = "$(realpath "$clean")" ]; then
        window=$pid
    fi
done
if [ -z "$window" ] || ! grep -q 'libqoffscreen.so' "/proc/$window/maps" ||
    ! grep -q 'libQt6Widgets.so' "/proc/$window/maps"; then
    cat "$root/window.log"
    echo "telx5-config did not start its window in the clean root" >&2
    exit 1
fi
echo "telx5-config (pid $window) runs with the offscreen platform and Qt Widgets loaded"
status=0
wait "$window_pid" || status=$?
cat "$root/window.log"
if [ "$status" -ne 124 ]; then
    echo "telx5-config ended by itself (status $status) in the clean root" >&2
    exit 1
fi
echo "telx5-config was still running after 8 s; timeout ended it"
umount "$clean/proc"

step "desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/telx5-config.desktop"
echo "telx5-config.desktop: valid"

step "appstreamcli validate (a file:// screenshot address is reported as an error)"
appstreamcli validate --no-net "$root/usr/share/metainfo/telx5-config.metainfo.xml" || true

step "lintian"
lintian --pedantic "${debs[@]}"
echo "lintian: no errors"
