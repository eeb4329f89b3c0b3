#!/usr/bin/python3
"""Moravel against the inventory tools people run, and against the floor.

Called by bench/run (make bench) with the build folder. Prints a Markdown report:
  1. the cost model of one live report: queries, files opened, system calls (strace);
  2. wall time (median, minimum, maximum) and peak memory of moravel-report (text and --json),
     of the floor and of lshw, hwinfo, neofetch and inxi, interleaved round by round;
  3. time to window under Xvfb, from X events, for moravel (live and from a snapshot) and hardinfo.
Wall time is taken around posix_spawn and wait4 of the program itself; peak memory is what
/usr/bin/time -v reports as "Maximum resident set size", from a separate run of each round.
"""
import argparse
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

# The live report's budget beside the floor (a program that reads the same files once each).
SYSCALL_GOAL = 350
CPU_RATIO_GOAL = 2.0
LOADER = re.compile(r"(\.so(\.[0-9.]+)?$)|(/ld\.so\.cache$)")


def spawn_ms(argv, env=None):
    """Wall time and processor time (user + system, from wait4) of one run, in milliseconds."""
    devnull = os.open(os.devnull, os.O_RDWR)
    actions = [(os.POSIX_SPAWN_DUP2, devnull, 0), (os.POSIX_SPAWN_DUP2, devnull, 1), (os.POSIX_SPAWN_DUP2, devnull, 2)]
    program = shutil.which(argv[0]) or argv[0]
    start = time.perf_counter_ns()
    pid = os.posix_spawn(program, argv, env or os.environ, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    wall = (time.perf_counter_ns() - start) / 1e6
    os.close(devnull)
    if os.waitstatus_to_exitcode(status) != 0:
        raise SystemExit(f"bench: {' '.join(argv)} failed")
    return wall, (usage.ru_utime + usage.ru_stime) * 1e3


def peak_kib(argv):
    with tempfile.NamedTemporaryFile("r") as out:
        subprocess.run(["/usr/bin/time", "-v", "-o", out.name] + argv, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        found = re.search(r"Maximum resident set size \(kbytes\): (\d+)", out.read())
        return int(found.group(1))


def strace_lines(argv, *options):
    with tempfile.NamedTemporaryFile("r") as out:
        subprocess.run(["strace", "-f", "-o", out.name, *options] + argv, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        return out.read().splitlines()


def opened_files(report):
    """The files the live report opened, once each, in order, without the loader's libraries."""
    files, failed, opens = [], 0, 0
    for line in strace_lines([report], "-e", "trace=openat,open"):
        found = re.search(r'open(?:at)?\((?:AT_FDCWD, )?"([^"]+)".*\) = (-?\d+)', line)
        if not found:
            continue
        path, result = found.group(1), int(found.group(2))
        if LOADER.search(path):
            continue
        opens += 1
        if result < 0:
            failed += 1
        elif path not in files:
            files.append(path)
    return files, opens, failed


HEALTH = re.compile(r'open(?:at)?\((?:AT_FDCWD, )?"(/dev/(?:nvme|sd)[^"]*|[^"]*libsystemd[^"]*)"')


def health_opens(argv):
    """The disks and the D-Bus library a run opened to read disk health."""
    return sorted({m.group(1) for line in strace_lines(argv, "-e", "trace=openat,open") if (m := HEALTH.search(line))})


def syscall_summary(argv):
    """Total system calls of one run and the busiest ones, from strace -c -f."""
    lines = strace_lines(argv, "-c")
    rows = []
    for line in lines:
        cells = line.split()
        if len(cells) >= 5 and cells[0][0].isdigit() and cells[-1] != "total":
            rows.append((int(cells[3]), cells[-1]))
        if cells and cells[-1] == "total":
            total = int(cells[3])
    rows.sort(reverse=True)
    return total, rows[:8]


def queries_of(report):
    err = subprocess.run([report, "--stats"], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True).stderr
    found = re.search(r"queries: (\d+)", err)
    return int(found.group(1)) if found else None


def timed_runs(tools, rounds):
    for argv in tools.values():  # warm-up: caches, page cache, udev database
        spawn_ms(argv)
    walls = {name: [] for name in tools}
    cpus = {name: [] for name in tools}
    peaks = {name: [] for name in tools}
    names = list(tools)
    shuffler = random.Random(0)
    for r in range(rounds):
        # A new order each round: in a fixed cycle a program always follows the same one, and one
        # that follows inxi (600 ms of Perl) starts with cold caches every time.
        order = shuffler.sample(names, len(names))
        for name in order:
            wall, cpu = spawn_ms(tools[name])
            walls[name].append(wall)
            cpus[name].append(cpu)
            peaks[name].append(peak_kib(tools[name]))
    return walls, cpus, peaks


def start_xvfb():
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
                            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as pipe:
        display = pipe.readline().strip()
    return xvfb, ":" + display


def window_runs(probe, cases, rounds, display):
    env = dict(os.environ, DISPLAY=display)
    results = {name: {"map": [], "drawn": []} for name in cases}
    for name, (title, argv, extra) in cases.items():  # warm-up
        subprocess.run([probe, title, "--"] + argv, env=dict(env, **extra), capture_output=True)
    for _ in range(rounds):
        for name, (title, argv, extra) in cases.items():
            out = subprocess.run([probe, title, "--"] + argv, env=dict(env, **extra), capture_output=True, text=True)
            found = re.search(r"map=([\d.]+) first=([-\d.]+) drawn=([-\d.]+)", out.stdout)
            if not found:
                raise SystemExit(f"bench: no window for {name}: {out.stderr.strip()}")
            results[name]["map"].append(float(found.group(1)))
            results[name]["drawn"].append(float(found.group(3)))
    return results


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--rounds", type=int, default=20)
    parser.add_argument("--window-rounds", type=int, default=10)
    parser.add_argument("--skip-peers", action="store_true")
    parser.add_argument("--baseline", help="another build folder (an older version) to measure alongside")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    report = os.path.join(build, "moravel-report")
    source = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = print
    load_at_start = open("/proc/loadavg").read().split()[:3]

    files, opens, failed = opened_files(report)
    total, busiest = syscall_summary([report])
    floor_total, _ = syscall_summary([os.path.join(build, "floor")] + files)
    out("## Cost of one live report\n")
    out(f"- queries: {queries_of(report)}")
    out(f"- files opened: {opens} opens ({failed} of files that do not exist), {len(files)} distinct files")
    out(f"- system calls (strace -c -f): {total}; the floor: {floor_total}; "
        f"goal at most {SYSCALL_GOAL}: {'met' if total <= SYSCALL_GOAL else 'not met'}")
    out("- busiest: " + ", ".join(f"{name} {count}" for count, name in busiest))
    # Disk health is read by the inventory alone: the plain report neither asks a disk nor loads
    # libsystemd for UDisks2.
    plain_health = health_opens([report])
    if plain_health:
        raise SystemExit(f"bench: the plain report opened {', '.join(plain_health)} for disk health")
    out(f"- disk health: the plain report opens no disk and no libsystemd; the inventory opens "
        f"{', '.join(health_opens([report, '--inventory', 'glpi'])) or 'nothing (no NVMe or SCSI disk here)'}\n")

    tools = {
        "moravel-report": [report],
        "moravel-report --json": [report, "--json"],
        "moravel-report --inventory glpi": [report, "--inventory", "glpi"],
        "floor": [os.path.join(build, "floor")] + files,
    }
    if args.baseline:
        tools["moravel-report (baseline)"] = [os.path.join(os.path.abspath(args.baseline), "moravel-report")]
    if not args.skip_peers:
        tools.update({"lshw -json": ["lshw", "-json"], "hwinfo --short": ["hwinfo", "--short"],
                      "neofetch --stdout": ["neofetch", "--stdout"], "inxi -F": ["inxi", "-F"]})
    walls, cpus, peaks = timed_runs(tools, args.rounds)
    ours = statistics.median(walls["moravel-report"])
    out(f"## Wall time and peak memory, {args.rounds} interleaved runs each after a warm-up\n")
    out("| program | median ms | min ms | max ms | processor ms (median) | peak memory KiB (median) "
        "| median / moravel-report's |")
    out("|---|---:|---:|---:|---:|---:|---:|")
    for name in tools:
        w = walls[name]
        out(f"| `{name}` | {statistics.median(w):.2f} | {min(w):.2f} | {max(w):.2f} | "
            f"{statistics.median(cpus[name]):.2f} | {statistics.median(peaks[name]):.0f} | "
            f"{statistics.median(w) / ours:.2f} |")
    # The goal's ratio from the two alone, run by turns: the peers' runs between them would weigh
    # on whichever follows them.
    _, pair, _ = timed_runs({name: tools[name] for name in ("moravel-report", "floor")}, args.rounds)
    cpu_ratio = statistics.median(pair["moravel-report"]) / statistics.median(pair["floor"])
    out(f"\nThe live report's median wall time is {ours / statistics.median(walls['floor']):.2f} times the "
        f"floor's. Run by turns with the floor alone, its processor time is "
        f"{statistics.median(pair['moravel-report']):.2f} ms against {statistics.median(pair['floor']):.2f} ms, "
        f"{cpu_ratio:.2f} times (goal at most {CPU_RATIO_GOAL}: {'met' if cpu_ratio <= CPU_RATIO_GOAL else 'not met'}).\n")

    xvfb, display = start_xvfb()
    try:
        probe = os.path.join(build, "window_probe")
        snapshot = os.path.join(source, "tests/data/desktop.json")
        cases = {
            "moravel (live)": ("Moravel by", [os.path.join(build, "moravel")], {}),
            "moravel (desktop.json)": ("Moravel by", [os.path.join(build, "moravel")], {"MORAVEL_SNAPSHOT": snapshot}),
            "hardinfo": ("System Information", ["hardinfo"], {}),
        }
        if args.baseline:
            cases["moravel (baseline, live)"] = ("Moravel by", [os.path.join(os.path.abspath(args.baseline), "moravel")], {})
        windows = window_runs(probe, cases, args.window_rounds, display)
    finally:
        xvfb.terminate()
        xvfb.wait()
    out(f"## Time to window under Xvfb, {args.window_rounds} interleaved runs each after a warm-up\n")
    out("| program | mapped, median ms | mapped and drawn, median ms | drawn min ms | drawn max ms |")
    out("|---|---:|---:|---:|---:|")
    for name, r in windows.items():
        out(f"| {name} | {statistics.median(r['map']):.1f} | {statistics.median(r['drawn']):.1f} | "
            f"{min(r['drawn']):.1f} | {max(r['drawn']):.1f} |")
    load = open("/proc/loadavg").read().split()[:3]
    out(f"\nConditions: {os.cpu_count()} processors, {os.uname().release}; load average "
        f"{' '.join(load_at_start)} at the start, {' '.join(load)} at the end; "
        f"{time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}.")


if __name__ == "__main__":
    sys.exit(main())
