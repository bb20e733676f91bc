#!/usr/bin/env python3
"""Turns `quillon_bench --benchmark_format=json` output into a Markdown table.

    quillon_bench --benchmark_format=json > run.json
    bench/table.py run.json > table.md          (or read the JSON from stdin)

One line per view, medians over the repetitions:

  1 thread s      wall time of the whole picture on one thread (ComputeBuffer)
  1 thread CPU s  CPU time of that thread
  N threads s     wall time on every core
  speed-up        1 thread s / N threads s
  ns/iteration    1 thread CPU s per completed kernel iteration
  baseline CPU s  CPU time of the plain per-pixel loop (SetValues + value
                  function), one thread
  baseline / 1 thread   baseline CPU s / 1 thread CPU s

CPU time is what to compare on a machine shared with other work: a thread
that waits for a core is not charged for the wait. The wall times only mean
something on an otherwise idle machine. Views missing from the run (filtered
out) are left out; a file holding only aggregates uses their medians.
"""

import json
import re
import statistics
import sys

NAME = re.compile(r"^(Views|Baseline)/([^/]+)(?:/threads:(1|all))?/")
UNIT = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def load(stream):
    data = json.load(stream)
    runs = {}  # (kind, view) -> lists of wall and CPU seconds, iterations, threads
    medians = {}
    for b in data.get("benchmarks", []):
        m = NAME.match(b.get("run_name", b["name"]) + "/")
        if not m:
            continue
        kind = "baseline" if m.group(1) == "Baseline" else "t" + m.group(3)
        key = (kind, m.group(2))
        if b.get("error_occurred"):
            runs.setdefault(key, {})["error"] = b.get("error_message", "error")
            continue
        unit = UNIT[b.get("time_unit", "ns")]
        entry = {"wall": b["real_time"] * unit, "cpu": b["cpu_time"] * unit,
                 "iters": b.get("kernel_iterations"), "threads": b.get("compute_threads")}
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                medians[key] = entry
            continue
        r = runs.setdefault(key, {"wall": [], "cpu": []})
        r["wall"].append(entry["wall"])
        r["cpu"].append(entry["cpu"])
        r["iters"] = entry["iters"]
        r["threads"] = entry["threads"]
    result = {}
    for key in set(runs) | set(medians):
        r = runs.get(key, {})
        if "error" in r:
            result[key] = {"error": r["error"]}
        elif r.get("wall"):
            result[key] = {"wall": statistics.median(r["wall"]), "cpu": statistics.median(r["cpu"]),
                           "iters": r.get("iters"), "threads": r.get("threads")}
        else:
            result[key] = medians[key]
    return result, data.get("context", {})


def fmt(v, digits=3):
    return "–" if v is None else f"{v:.{digits}f}"


def ratio(a, b):
    return a / b if a and b else None


def table(result, context):
    views = []
    for (_, view) in result:
        if view not in views:
            views.append(view)
    # The catalogue's order, which the benchmark records in its context;
    # repetitions may have run interleaved in any order.
    catalogue = [v for v in context.get("quillon_views", "").split(",") if v]
    functions = dict(zip(catalogue, context.get("quillon_functions", "").split(",")))
    order = {v: i for i, v in enumerate(catalogue)}
    views.sort(key=lambda v: (order.get(v, len(order)), v))
    threads = next((r.get("threads") for (k, _), r in result.items() if k == "tall" and r.get("threads")), None)
    many = f"{int(threads)} threads s" if threads else "all threads s"
    lines = [
        f"| view | value function | iterations (M) | 1 thread s | 1 thread CPU s | {many} | speed-up "
        "| ns/iteration | baseline CPU s | baseline / 1 thread |",
        "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|",
    ]
    for view in views:
        one = result.get(("t1", view), {})
        all_ = result.get(("tall", view), {})
        base = result.get(("baseline", view), {})
        errors = [r["error"] for r in (one, all_, base) if "error" in r]
        if errors:
            lines.append(f"| {view} | {functions.get(view, '')} | {'; '.join(errors)} | | | | | | | |")
            continue
        iters = one.get("iters") or all_.get("iters") or base.get("iters")
        ns = one["cpu"] * 1e9 / iters if one.get("cpu") and iters else None
        lines.append("| {} | {} | {} | {} | {} | {} | {} | {} | {} | {} |".format(
            view, functions.get(view, ""), fmt(iters / 1e6 if iters else None, 1), fmt(one.get("wall")),
            fmt(one.get("cpu")), fmt(all_.get("wall")), fmt(ratio(one.get("wall"), all_.get("wall")), 2),
            fmt(ns, 1), fmt(base.get("cpu")), fmt(ratio(base.get("cpu"), one.get("cpu")), 2)))
    return "\n".join(lines)


def main(argv):
    if len(argv) > 2 or (len(argv) == 2 and argv[1] in ("-h", "--help")):
        print(__doc__)
        return 0 if len(argv) == 2 else 2
    stream = open(argv[1]) if len(argv) == 2 else sys.stdin
    with stream:
        result, context = load(stream)
    if not result:
        print("no Views/ or Baseline/ results in the input", file=sys.stderr)
        return 1
    print(table(result, context))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
