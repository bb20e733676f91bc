#!/usr/bin/env python3
"""Turns `quillon_bench --benchmark_format=json` output into a Markdown table.

    quillon_bench --benchmark_format=json > run.json
    bench/table.py run.json > table.md          (or read the JSON from stdin)

One line per view: the median whole-picture time on one thread and on every
thread, the speed-up between them, nanoseconds per kernel iteration on one
thread, the median of the plain per-pixel loop (baseline) and how many times
faster the one-thread calculation is than that loop. Medians are taken over
the individual repetitions; a file holding only aggregates uses their
medians. Views missing from the run (filtered out) are left out.
"""

import json
import re
import statistics
import sys

NAME = re.compile(r"^(Views|Baseline)/([^/]+)(?:/threads:(1|all))?/")


def load(stream):
    data = json.load(stream)
    runs = {}  # (kind, view) -> {"times": [...], "ns": [...], "iters": x, "threads": n}
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
        seconds = b["real_time"] * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b.get("time_unit", "ns")]
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                medians[key] = (seconds, b.get("ns_per_iteration"), b.get("kernel_iterations"), b.get("threads"))
            continue
        r = runs.setdefault(key, {"times": [], "ns": []})
        r["times"].append(seconds)
        r["ns"].append(b.get("ns_per_iteration", 0.0))
        r["iters"] = b.get("kernel_iterations")
        r["threads"] = b.get("threads")
    result = {}
    for key in set(runs) | set(medians):
        r = runs.get(key, {})
        if "error" in r:
            result[key] = {"error": r["error"]}
        elif r.get("times"):
            result[key] = {"s": statistics.median(r["times"]), "ns": statistics.median(r["ns"]),
                           "iters": r.get("iters"), "threads": r.get("threads")}
        else:
            s, ns, iters, threads = medians[key]
            result[key] = {"s": s, "ns": ns, "iters": iters, "threads": threads}
    return result, data.get("context", {})


def fmt(v, digits=3):
    return "–" if v is None else f"{v:.{digits}f}"


def table(result, context):
    views = []
    for (_, view) in result:
        if view not in views:
            views.append(view)
    # The catalogue's order, which the benchmark records in its context;
    # repetitions may have run interleaved in any order.
    catalogue = [v for v in context.get("quillon_views", "").split(",") if v]
    order = {v: i for i, v in enumerate(catalogue)}
    views.sort(key=lambda v: (order.get(v, len(order)), v))
    threads = next((r.get("threads") for (k, _), r in result.items() if k == "tall" and r.get("threads")), None)
    all_label = f"{int(threads)} threads s" if threads else "all threads s"
    lines = [
        f"| view | 1 thread s | {all_label} | speed-up | ns/iteration | iterations (M) | baseline s | baseline / 1 thread |",
        "|---|---:|---:|---:|---:|---:|---:|---:|",
    ]
    for view in views:
        one = result.get(("t1", view), {})
        many = result.get(("tall", view), {})
        base = result.get(("baseline", view), {})
        errors = [r["error"] for r in (one, many, base) if "error" in r]
        if errors:
            lines.append(f"| {view} | {'; '.join(errors)} | | | | | | |")
            continue
        speedup = one["s"] / many["s"] if one.get("s") and many.get("s") else None
        ratio = base["s"] / one["s"] if one.get("s") and base.get("s") else None
        iters = one.get("iters") or many.get("iters") or base.get("iters")
        lines.append("| {} | {} | {} | {} | {} | {} | {} | {} |".format(
            view, fmt(one.get("s")), fmt(many.get("s")), fmt(speedup, 2), fmt(one.get("ns"), 1),
            fmt(iters / 1e6 if iters else None, 1), fmt(base.get("s")), fmt(ratio, 2)))
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
