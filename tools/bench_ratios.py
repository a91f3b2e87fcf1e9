#!/usr/bin/env python3
"""Runs the paired benchmarks side by side in one run of tevbench and prints
the table of median times and ratios (Markdown).

usage: tools/bench_ratios.py [build/bench/tevbench] [repetitions]
"""
import json
import re
import subprocess
import sys

PAIRS = [
    ("BM_ChangeMap/huge_181x181", "BM_ParseMapText/huge_181x181"),
] + [
    ("BM_Astar181/" + c, "BM_BfsFlood181/" + c)
    for c in ("corner_to_corner", "serpentine", "walled_goal", "u_pocket", "random30")
] + [
    ("BM_FrameComposition150", "BM_Memcpy7Layers"),
    ("BM_BlendAlpha22Ours", "BM_HalfBlendOurs/593/321"),
    ("BM_FrameCasting/effects:3", "BM_FrameCasting/effects:0"),
    ("BM_ScriptLongLines/comment_at_cap", "BM_ReadScriptFile/comment_at_cap"),
    ("BM_GoLineStart/200000", "BM_FindLineStartInString/200000"),
]


def main():
    exe = sys.argv[1] if len(sys.argv) > 1 else "build/bench/tevbench"
    reps = sys.argv[2] if len(sys.argv) > 2 else "5"
    names = sorted({n for pair in PAIRS for n in pair})
    pattern = "^(" + "|".join(names) + r")(/iterations:[0-9]+)?$"
    out = subprocess.run(
        [exe, "--benchmark_filter=" + pattern, "--benchmark_repetitions=" + reps,
         "--benchmark_report_aggregates_only=true", "--benchmark_format=json"],
        check=True, capture_output=True, text=True).stdout
    medians = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
            medians[re.sub(r"/iterations:\d+$", "", b["run_name"])] = (b["real_time"] * scale, b["cpu_time"] * scale)
    print("| measure | ms (wall / CPU) | beside | ms (wall / CPU) | ratio (CPU) |")
    print("|---|---|---|---|---|")
    for ours, floor in PAIRS:
        a, b = medians.get(ours), medians.get(floor)
        if not a or not b:
            print(f"| `{ours}` | missing | `{floor}` | | |")
            continue
        print(f"| `{ours}` | {a[0]:.3f} / {a[1]:.3f} | `{floor}` | {b[0]:.3f} / {b[1]:.3f} | {a[1] / b[1]:.2f}× |")


if __name__ == "__main__":
    main()
