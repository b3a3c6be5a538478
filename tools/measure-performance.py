#!/usr/bin/env python3
"""Runs the benchmarks and the callgrind instruction counts of a bench build
and writes docs/performance.md.  Usage: measure-performance.py BUILD_BIN OUT"""
import json
import os
import platform
import re
import subprocess
import sys
import tempfile

BIN, OUT = sys.argv[1], sys.argv[2]
LIBRARY = "zarn_tarvo_settings.so"


def callgrind(mode, n):
    """Instructions of the whole run and of the library's own object."""
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "callgrind.out")
        subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out,
                        os.path.join(BIN, "instruction_counts"), mode, str(n)],
                       check=True, capture_output=True)
        return parse(out)


def parse(path):
    """Sums exclusive Ir per object from a callgrind output file."""
    objects, names = {}, {}
    current, after_calls, total = None, False, 0
    for line in open(path):
        line = line.rstrip("\n")
        m = re.match(r"(c?ob)=\((\d+)\)(?: (.*))?$", line)
        if m:
            if m.group(3):
                names[m.group(2)] = m.group(3)
            if m.group(1) == "ob":
                current = names[m.group(2)]
            continue
        if line.startswith("calls="):
            after_calls = True
            continue
        m = re.match(r"^[+-]?\d+ (\d+)$", line) or re.match(r"^\* (\d+)$", line)
        if m:
            if after_calls:
                after_calls = False  # inclusive cost of a call: not this function's own
                continue
            cost = int(m.group(1))
            total += cost
            objects[current] = objects.get(current, 0) + cost
        elif line.startswith("totals:") or line.startswith("summary:"):
            pass
    library = sum(v for k, v in objects.items() if k and k.endswith(LIBRARY))
    return total, library


def per_call(mode, field):
    lo, hi = 1000, 11000
    return (callgrind(mode, hi)[field] - callgrind(mode, lo)[field]) / (hi - lo)


counts = {m: per_call(m, 0) for m in ("entry", "direct", "plt")}
library = {m: per_call(m, 1) for m in ("settings-off", "settings-on", "trace-ray", "trace-colour")}

bench = json.loads(subprocess.run(
    [os.path.join(BIN, "zarn_benchmarks"), "--benchmark_format=json",
     "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true"],
    check=True, capture_output=True, text=True).stdout)
times = {b["run_name"]: b["real_time"] for b in bench["benchmarks"]
         if b.get("aggregate_name") == "median"}
context = bench["context"]

cpu = platform.processor() or "unknown"
try:
    for line in open("/proc/cpuinfo"):
        if line.startswith("model name"):
            cpu = line.split(":", 1)[1].strip()
            break
except OSError:
    pass

rows = [
    ("ResolvedEntry", "a resolved plain entry (`mi_par_aborted`)"),
    ("DirectCallThroughPointer", "the same function through a function pointer"),
    ("CallThroughPlt", "the same function in another shared library, through the PLT"),
    ("ResolvedEntryWithFloats", "a resolved entry with two F arguments (`mi_noise_2d`)"),
    ("FirstCall", "the first call of an entry (lookup by name, then the call)"),
    ("FormattedMessage", "a formatted-message entry (`mi_info`, three arguments)"),
    ("SettingsEveryGroupOff", "`zarn_tarvo_settings`, every group off (6 writes)"),
    ("SettingsEveryGroupOn", "`zarn_tarvo_settings`, every group on"),
    ("TraceContinueRay", "`zarn_TraceContinue`, continuing the ray"),
    ("TraceContinueColour", "`zarn_TraceContinue`, returning the colour"),
]

with open(OUT, "w") as f:
    f.write("# Performance\n\n")
    f.write("Written by `tools/measure-performance.sh`; do not edit by hand.\n\n")
    f.write(f"Machine: {cpu}, {context.get('num_cpus')} CPUs, "
            f"{platform.system()} {platform.release()}; build: bench preset "
            f"(Linux x86-64, gcc -O2).\n\n")
    f.write("## Instructions (callgrind)\n\n")
    f.write("Counted by `valgrind --tool=callgrind`, the same from run to run; per call, "
            "the difference of two runs of 1,000 and 11,000 calls.\n\n")
    f.write("| call | instructions per call |\n|---|---|\n")
    f.write(f"| direct call through a function pointer | {counts['direct']:.1f} |\n")
    f.write(f"| call through the PLT | {counts['plt']:.1f} |\n")
    f.write(f"| resolved entry | {counts['entry']:.1f} |\n")
    f.write(f"| **entry over direct call** | **{counts['entry'] - counts['direct']:.1f}** |\n")
    f.write(f"| entry over PLT | {counts['entry'] - counts['plt']:.1f} |\n\n")
    f.write("The library's own code per shader call, the renderer's functions excluded:\n\n")
    f.write("| shader call | library instructions per call |\n|---|---|\n")
    for mode, text in (("settings-off", "`zarn_tarvo_settings`, every group off"),
                       ("settings-on", "`zarn_tarvo_settings`, every group on"),
                       ("trace-ray", "`zarn_TraceContinue`, continuing the ray"),
                       ("trace-colour", "`zarn_TraceContinue`, returning the colour")):
        f.write(f"| {text} | {library[mode]:.1f} |\n")
    f.write("\n## Times (Google Benchmark, median of 5)\n\n")
    f.write("| benchmark | what | ns per call |\n|---|---|---|\n")
    for name, text in rows:
        if name in times:
            f.write(f"| {name} | {text} | {times[name]:.2f} |\n")
print(open(OUT).read())
