#!/bin/sh
# Measures exfatbar side by side with its floors in one run and prints one table of ratios:
# parsing per line at 1 000 and 100 000 lines, the command runner against a bare spawn, a whole
# click against two bare spawns and against lsblk + findmnt, and the resident memory of the idle
# program after one click. As root it attaches 4 loop disks of 4 exFAT partitions each for the
# click, and detaches them at the end.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
EXTRA_PACKAGES="libbenchmark-dev python3 xvfb trayer xdotool x11-utils"
. "$top/tools/setup.sh"
cmake --build "$top/build" --target exfatbar_bench >/dev/null
BUILD="$top/build"
APP="$BUILD/exfatbar.app/exfatbar"
WORK=$(mktemp -d /tmp/exfatbar-bench-XXXXXX)
CLEANUPS=""
at_exit() { CLEANUPS="$*; $CLEANUPS"; }
trap 'eval "$CLEANUPS" >/dev/null 2>&1 || true; rm -rf "$WORK"' EXIT INT TERM
export HOME="$WORK/home"
mkdir -p "$HOME/Desktop"

disks="none (not root)"
if [ "$(id -u)" -eq 0 ] && [ -w /dev/loop-control ]; then
    for n in 1 2 3 4; do
        truncate -s 80M "$WORK/disk$n.img"
        printf 'label: dos\n,16MiB,7\n,16MiB,7\n,16MiB,7\n,,7\n' | sfdisk -q "$WORK/disk$n.img"
        device=$(losetup -f --show "$WORK/disk$n.img")
        at_exit "losetup -d $device"
        partx -a "$device"
        at_exit "partx -d $device"
        for p in 1 2 3 4; do mkfs.exfat -L "BENCH $n$p" "${device}p$p" >/dev/null; done
    done
    disks="4 loop disks x 4 exFAT partitions"
fi

# Every benchmark 9 times; the median of the runs is the figure.
"$BUILD/exfatbar_bench" --benchmark_repetitions=9 --benchmark_min_time=0.2 \
    --benchmark_format=json 2>/dev/null >"$WORK/bench.json"

# Resident memory of the idle program after one click, in MiB.
rss_of() { awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }
mkfifo "$WORK/in"
env -u DISPLAY -u WAYLAND_DISPLAY "$APP" <"$WORK/in" >"$WORK/terminal.out" 2>&1 &
terminal=$!
exec 3>"$WORK/in"
printf '\n' >&3
sleep 2
printf '\n' >&3
sleep 1
terminal_rss=$(rss_of $terminal)
exec 3>&-
wait $terminal || true

desktop_rss="n/a"
if command -v Xvfb >/dev/null && command -v trayer >/dev/null; then
    Xvfb :97 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
    at_exit "kill $!"
    sleep 1
    DISPLAY=:97 trayer --edge top --align right --widthtype request --height 22 >/dev/null 2>&1 &
    at_exit "kill $!"
    sleep 1
    DISPLAY=:97 "$APP" >/dev/null 2>&1 &
    desktop=$!
    at_exit "kill $desktop"
    sleep 2
    DISPLAY=:97 xdotool mousemove 788 11 click 1
    sleep 2
    DISPLAY=:97 xdotool key Escape
    sleep 1
    desktop_rss=$(rss_of $desktop)
fi

python3 - "$WORK/bench.json" "$disks" "$terminal_rss" "$desktop_rss" <<'PYTHON'
import json, statistics, sys

runs = json.load(open(sys.argv[1]))["benchmarks"]
disks, terminal_rss, desktop_rss = sys.argv[2:5]

def median(name, field):
    return statistics.median(r[field] for r in runs
                             if r.get("run_name") == name and r.get("run_type") == "iteration")

def ratio(name, top, bottom):
    # The median of the ratios of each run: both figures of a run were taken side by side.
    return statistics.median(r[top] / r[bottom] for r in runs
                             if r.get("run_name") == name and r.get("run_type") == "iteration")

rows = []
def row(measure, value, beside, figure, limit, below=False):
    met = figure < limit if below else figure <= limit
    target = ("< " if below else "<= ") + f"{limit:.2f}"
    rows.append((measure, value, beside, f"{figure:.2f}", f"{target} {'met' if met else 'MISSED'}"))

for name, label in (("BM_PartitionListing", "partition listing"), ("BM_MountList", "mount list")):
    small = median(name, "ns_per_line_1k")
    large = median(name, "ns_per_line_100k")
    row(f"{label}, per line at 100k lines", f"{large:.0f} ns", "1 us", large / 1000, 1.0)
    row(f"{label}, per line 100k / 1k", f"{large:.0f} ns", f"{small:.0f} ns at 1k",
        ratio(name, "ns_per_line_100k", "ns_per_line_1k"), 1.3)

spawn = median("BM_RunnerAgainstSpawn", "spawn_us")
runner = median("BM_RunnerAgainstSpawn", "runner_us")
row("runTaskAtPath(/bin/true)", f"{runner:.0f} us", f"{spawn:.0f} us bare spawn",
    ratio("BM_RunnerAgainstSpawn", "runner_us", "spawn_us"), 1.2)
click = median("BM_ClickAgainstFloors", "click_us")
floor = median("BM_ClickAgainstFloors", "two_spawns_us")
util_linux = median("BM_ClickAgainstFloors", "util_linux_us")
row(f"click ({disks})", f"{click:.0f} us", f"{floor:.0f} us two spawns",
    ratio("BM_ClickAgainstFloors", "click_us", "two_spawns_us"), 3.0)
for stand_in in ("mount", "diskutil"):
    took = median(f"BM_StandIn/{stand_in}", "real_time")
    rows.append((f"  of which the {stand_in} stand-in", f"{took:.0f} us",
                 f"{spawn:.0f} us bare spawn", f"{took / spawn:.2f}", ""))
row("click against lsblk + findmnt", f"{click:.0f} us", f"{util_linux:.0f} us util-linux",
    ratio("BM_ClickAgainstFloors", "click_us", "util_linux_us"), 1.0, below=True)
row("idle memory, terminal front end", f"{terminal_rss} MiB", "", float(terminal_rss), 10)
if desktop_rss != "n/a":
    row("idle memory, desktop front end", f"{desktop_rss} MiB", "", float(desktop_rss), 30)

header = ("measure", "exfatbar", "beside", "ratio", "target")
widths = [max(len(r[i]) for r in rows + [header]) for i in range(5)]
for r in [header] + rows:
    print("  ".join(cell.ljust(widths[i]) for i, cell in enumerate(r)).rstrip())
PYTHON
