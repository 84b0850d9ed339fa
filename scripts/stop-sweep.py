#!/usr/bin/env python3
"""Stops `telx5-cli write` and `telx5-cli flash` with SIGINT, SIGTERM and SIGHUP at moments spread
over each command, against `telx5-sim --paced`, and checks that every stop ends where its last line
says: exit 128 + the signal within 0.5 s, and either "nothing" changed or a way back (the command in
backticks) that puts the device's settings, and for flash the image, back.

  scripts/stop-sweep.py           one signal at each moment, in turn (CI)
  scripts/stop-sweep.py --full    each of the three signals at each moment
"""
import argparse
import os
import re
import shlex
import signal
import subprocess
import sys
import tempfile
import threading
import time
from concurrent.futures import ThreadPoolExecutor

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KEYS = ("CALLSIGN", "PASS", "DHCP", "IP", "MASK", "GATE", "DNS", "POSITION", "COMMENT TEXT",
        "SERVER", "SENT TIME", "FILTER", "BACKLIGHT", "FREQ", "UNIT", "DIGI", "MOD", "PATH",
        "ALIAS")
SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)
STOP_WITHIN = 0.5  # seconds from a signal to the exit, or to the notice of the blocks
NOTICE = "press Ctrl-C again within 3 s"
# The status lines that begin each phase, in order; "connect" comes before them.
PHASES = {
    "write": [("Connection is successful", "backup read"), ("Writing......", "writing"),
              ("Write complete", "verify")],
    "flash": [("Connection is successful", "settings read"), ("Please wait auto update", "reset"),
              ("Wait for update", "loader"), ("updating", "blocks"), ("update complete", "restore"),
              ("Writing......", "restore write")],
}
WRITING = {"write": "writing", "flash": "restore write"}  # setting lines go out from here on
WAY_BACK = {"write": "write", "flash": "recover"}


def text(path):
    with open(path, encoding="latin-1", newline="") as f:
        return f.read()


def settings(data):
    """The 19 settings lines of a settings file, or None when one is missing."""
    found = {}
    for line in data.replace("\r", "").split("\n"):
        key, colon, value = line.partition(":")
        if colon and key in KEYS:
            found[key] = value
    return found if len(found) == len(KEYS) else None


def differing(a, b):
    return ", ".join(k for k in KEYS if (a or {}).get(k) != (b or {}).get(k))


def variant(base, path, changes):
    lines = [f"{k}:{changes[k]}" if (k := line.partition(":")[0]) in changes else line
             for line in base.split("\r\n")]
    with open(path, "w", encoding="latin-1", newline="") as f:
        f.write("\r\n".join(lines))


def same_file(a, b):
    return os.path.isfile(a) and open(a, "rb").read() == open(b, "rb").read()


def last_line(result):
    lines = result.stderr.strip().splitlines()
    return lines[-1] if lines else f"exit {result.returncode}, nothing on standard error"


def phase_at(command, lines):
    """The phase a command is in after these lines, and when it began."""
    marks, index, at = PHASES[command], -1, None
    for t, line in lines:
        index, at = next(((i, t) for i in range(index + 1, len(marks))
                          if line.startswith(marks[i][0])), (index, at))
    return (marks[index][1] if index >= 0 else "connect"), at


def in_blocks(lines, t_sig, size):
    """Whether blocks were surely still going out at t_sig, judged by the last progress line."""
    for t, line in reversed(lines):
        if line.startswith("update complete"):
            return False
        sent = re.search(r"(\d+) of \d+ bytes", line)
        if sent or line.startswith("updating"):
            left = size - (int(sent.group(1)) if sent else 0)
            return t_sig - t < min(0.4, 0.8 * left / 11520)  # 11520 bytes/s at 115200 baud
    return False


class Watched:
    """A telx5-cli whose standard error lines and exit are timed as they happen."""

    def __init__(self, argv, env, cwd):
        self.lines, self.exit_t, self.done = [], None, threading.Event()
        self.start = time.monotonic()
        self.p = subprocess.Popen(argv, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        threading.Thread(target=self._wait, daemon=True).start()

    def _read(self):
        for raw in self.p.stderr:
            self.lines.append((time.monotonic(), raw.decode(errors="replace").rstrip("\r\n")))

    def _wait(self):
        self.p.wait()
        self.exit_t = time.monotonic()
        self.done.set()

    def finish(self, timeout):
        if not self.done.wait(timeout):
            self.p.kill()
            self.done.wait()
        self.reader.join(5)
        return self.lines[-1][1] if self.lines else ""


class Device:
    """A simulated device in a fresh folder that is HOME and the XDG folders of every command."""

    def __init__(self, args, top):
        self.args, self.dir = args, tempfile.mkdtemp(dir=top)
        self.env = dict(os.environ, HOME=self.dir, XDG_DATA_HOME=f"{self.dir}/data",
                        XDG_CONFIG_HOME=f"{self.dir}/config", XDG_CACHE_HOME=f"{self.dir}/cache",
                        LC_ALL="C.UTF-8")
        self.img_out = f"{self.dir}/img_out.bin"
        with open(f"{self.dir}/sim.err", "w") as err:
            self.sim = subprocess.Popen([args.sim, "--paced", "--save-image", self.img_out],
                                        stdout=subprocess.PIPE, stderr=err, env=self.env)
        self.port = self.sim.stdout.readline().decode().strip()

    def cli(self, *argv):
        return subprocess.run([self.args.cli, *argv], env=self.env, cwd=self.dir, text=True,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=180)

    def read(self):
        r = self.cli("--port", self.port, "--no-backup", "read")
        return settings(r.stdout), r


def run(args, top, command, moment, sig):
    """One run: the device gets the user's settings, then the command, stopped at the moment."""
    row = dict(command=command, moment=moment, sig=sig, phase="", ms=None, exit="",
               verdict="FAIL", way_back="-", why=[], last="")
    dev = Device(args, top)
    try:
        # The read that follows checks this write, so it reads nothing back itself.
        r = dev.cli("--port", dev.port, "--no-backup", "--no-verify", "write", args.files["user"])
        before, rb = dev.read()
        if r.returncode or before != args.user:
            row["why"].append(f"setup: write exit {r.returncode}: {last_line(r)}" if r.returncode
                              else f"setup: the device reads {differing(before, args.user)} "
                              f"unlike user.ini ({last_line(rb)})")
            return row
        target = args.files["other" if command == "write" else "image"]
        w = Watched([args.cli, "--port", dev.port, command, target], dev.env, dev.dir)
        if sig is None:
            stop(args, dev, row, w, before, None, None)
            return row
        time.sleep(max(0.0, w.start + moment - time.monotonic()))
        t_sig = time.monotonic()
        seen = [x for x in w.lines if x[0] <= t_sig]
        phase, since = phase_at(command, seen)
        row["phase"] = f"{phase}: {seen[-1][1] if seen else ''}"
        w.p.send_signal(sig)
        w.done.wait(STOP_WITHIN + 0.1)
        notice = next(((t, line) for t, line in w.lines if t >= t_sig and NOTICE in line), None)
        if not w.done.is_set() and notice:
            if sig != signal.SIGINT or command != "flash":
                row["why"].append(f"{sig.name} in the {phase} phase of {command} did not stop it "
                                  f"but printed: {notice[1]}")
            if notice[0] - t_sig > STOP_WITHIN:
                row["why"].append(f"the notice came {notice[0] - t_sig:.2f} s after the signal")
            t_sig, row["sig"] = time.monotonic(), "INTx2"
            w.p.send_signal(signal.SIGINT)
        elif sig == signal.SIGINT and in_blocks(seen, t_sig, args.image_size):
            row["why"].append("a first Ctrl-C in the blocks printed no notice")
        wrote = phase == WRITING[command] and t_sig - since > 0.2 or phase == "verify"
        stop(args, dev, row, w, before, t_sig, wrote)
    except Exception as e:  # a check that could not be made is a failure too
        row["why"].append(f"{type(e).__name__}: {e}")
    finally:
        dev.sim.kill()
        dev.sim.wait()
    return row


def stop(args, dev, row, w, before, t_sig, wrote):
    """Judges how the command ended: unstopped (t_sig None) or stopped by the signal at t_sig."""
    command, why = row["command"], row["why"]
    last = row["last"] = w.finish(300 if t_sig is None else 10)
    row.update(ms=round((w.exit_t - (t_sig or w.start)) * 1000), exit=w.p.returncode)
    if t_sig is None:
        if w.p.returncode:
            why.append(f"exit {w.p.returncode}")
        if command == "flash" and "settings restored and verified" not in last:
            why.append('the last line does not say "settings restored and verified"')
        if command == "flash" and not same_file(dev.img_out, args.files["image"]):
            why.append("the boot loader did not receive image.bin")
    elif w.p.returncode == 0 and w.exit_t - t_sig <= STOP_WITHIN:
        row["verdict"] = "ran to end"
    else:
        expected = 128 + (signal.SIGINT if row["sig"] == "INTx2" else row["sig"])
        if w.p.returncode != expected:
            why.append(f"exit {w.p.returncode}, expected {expected}")
        if w.exit_t - t_sig > STOP_WITHIN:
            why.append(f"took {w.exit_t - t_sig:.2f} s to stop")
        if not last.startswith(f"{command} interrupted: "):
            why.append(f'the last line does not begin "{command} interrupted: "')
        way_back(args, dev, row, before, last, wrote)
    if row["verdict"] != "ran to end" or why:
        row["verdict"] = "FAIL" if why else "ok"


def way_back(args, dev, row, before, last, wrote):
    command, why = row["command"], row["why"]
    paths = re.findall(r"(/[^\s`'\"]+\.ini)\b", last)
    if wrote and not paths:
        why.append("stopped after a setting line went out, but the last line names no backup")
    for path in paths:
        held = settings(text(path)) if os.path.isfile(path) else None
        if held != before:
            why.append(f"the backup {path} " + (f"differs in {differing(held, before)}" if held
                                                else "is missing or not a settings file"))
    way = re.search(r"`([^`]+)`", last)
    if not way:
        if "nothing" not in last:
            why.append('no way back named, and the last line does not say "nothing"')
    else:
        argv = shlex.split(way.group(1))
        if argv[0] != "telx5-cli" or WAY_BACK[command] not in argv:
            why.append(f"the way back is not a telx5-cli {WAY_BACK[command]}: {way.group(1)}")
        if "--port" not in argv[:-1] or argv[argv.index("--port") + 1] != dev.port:
            why.append(f"the way back does not name --port {dev.port}")
        r = dev.cli(*argv[1:])
        row["way_back"] = "no"
        if r.returncode:
            why.append(f"the way back ended with exit {r.returncode}: {last_line(r)}")
            return
        if command == "flash" and not same_file(dev.img_out, args.files["image"]):
            why.append("after the way back, the boot loader holds no copy of image.bin")
            return
    after, r = dev.read()
    if after != before:
        why.append(f"afterwards the device reads differently in {differing(after, before)}"
                   + ("" if r.returncode == 0 else f" ({last_line(r)})"))
    elif way:
        row["way_back"] = "yes"


def binary(path, name):
    path = os.path.join(ROOT, path)
    return os.path.join(path, name) if os.path.isdir(path) else path


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--cli", default="build/release/src/cli", help="telx5-cli, or its folder")
    ap.add_argument("--sim", default="build/release/src/sim", help="telx5-sim, or its folder")
    ap.add_argument("--full", action="store_true", help="each signal at each moment")
    ap.add_argument("--jobs", type=int, default=2, help="runs at a time (2)")
    ap.add_argument("--moments", type=int, default=20, help="moments per command (20)")
    ap.add_argument("--image-size", type=int, default=30000, help="bytes of the image (30000)")
    args = ap.parse_args()
    sys.stdout.reconfigure(errors="replace")
    args.cli, args.sim = binary(args.cli, "telx5-cli"), binary(args.sim, "telx5-sim")
    for program in (args.cli, args.sim):
        if not os.access(program, os.X_OK):
            sys.exit(f"stop-sweep: {program} is missing; build it first (./run release)")
    began, rows = time.monotonic(), []
    with tempfile.TemporaryDirectory(prefix="telx5-stop-sweep.") as top:
        os.environ.update(HOME=top, XDG_DATA_HOME=top, XDG_CONFIG_HOME=top)
        f = args.files = {k: f"{top}/{k}.{'bin' if k == 'image' else 'ini'}"
                          for k in ("base", "user", "other", "image")}
        subprocess.run([args.cli, "default", f["base"]], check=True, capture_output=True)
        base = text(f["base"])
        variant(base, f["user"], {"CALLSIGN": "BG7AAA-3", "PASS": "18341",
                                  "COMMENT TEXT": "Before the sweep"})
        variant(base, f["other"], {"CALLSIGN": "BG7ZZZ-9", "PASS": "23717",
                                   "COMMENT TEXT": "Written by the sweep",
                                   "SERVER": "asia.aprs2.net"})
        args.user = settings(text(f["user"]))
        with open(f["image"], "wb") as img:
            img.write(os.urandom(args.image_size))
        print(f"{'command':7} {'at s':>6} {'signal':6} {'phase':34} {'ms':>6} {'exit':>4} "
              f"{'verdict':10} way back", flush=True)

        def report(row):
            if not isinstance(row["sig"], str):
                row["sig"] = row["sig"].name[3:] if row["sig"] else "none"
            at = "-" if row["moment"] is None else f"{row['moment']:.2f}"
            print(f"{row['command']:7} {at:>6} {row['sig']:6} {row['phase'][:34]:34} "
                  f"{'-' if row['ms'] is None else row['ms']:>6} {row['exit']!s:>4} "
                  f"{row['verdict']:10} {row['way_back']}", flush=True)
            rows.append(row)
            return row

        with ThreadPoolExecutor(args.jobs) as pool:
            calibration = {c: pool.submit(run, args, top, c, None, None) for c in WAY_BACK}
            runs = []
            for c, future in calibration.items():
                d = (report(future.result())["ms"] or 0) / 1000  # how long the command takes
                for i in range(args.moments if d > 1 else 0):
                    moment = 0.3 + (d - 0.6) * (i + 0.5) / args.moments
                    for sig in SIGNALS if args.full else [SIGNALS[i % 3]]:
                        runs.append(pool.submit(run, args, top, c, moment, sig))
            for future in runs:
                report(future.result())
    failed = [r for r in rows if r["verdict"] == "FAIL"]
    print("\nFailures:" if failed else "")
    for r in failed:
        at = "unstopped" if r["moment"] is None else f"{r['moment']:.2f} s {r['sig']}"
        print(f"  {r['command']} {at}: {'; '.join(r['why'])}\n      last line: {r['last']}")
    for c in WAY_BACK:
        stops = [r["ms"] for r in rows if r["command"] == c and r["moment"] is not None
                 and r["ms"] is not None and r["verdict"] != "ran to end"]
        print(f"worst time to exit, {c}: {max(stops, default=0)} ms")
    ended = sum(r["verdict"] == "ran to end" for r in rows)
    print(f"stop-sweep: {len(rows)} runs, {len(rows) - len(failed) - ended} ok, {ended} ran to the "
          f"end, {len(failed)} failed, in {time.monotonic() - began:.0f} s")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
