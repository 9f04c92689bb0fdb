#!/usr/bin/env python3
"""Prints the ratio table of a benchmark run: scripts/benchmark-ratios.py RESULTS [FULL_KB ONE_KB]

RESULTS is the folder scripts/run-benchmarks.sh fills: one Google Benchmark
JSON file per program and startup_once.txt (one "load baseline" pair of
milliseconds a line). Each ratio is given as min / median / max.

In a Google Benchmark program, the benchmark registered first in a group
(the same argument, such as /24) is the subject, the others its references.
The repetitions of all benchmarks run in one shuffled sequence, so the k-th
repetition of the subject and the k-th of a reference stand at about the
same point in time; each such pair gives one ratio. A benchmark that reports
counters named ratio_* is shown by those instead, one value a repetition.
"""
import json
import os
import statistics
import sys


def spread(values):
    return f"{min(values):.2f} / {statistics.median(values):.2f} / {max(values):.2f}"


def program_rows(program, benchmarks):
    runs = [b for b in benchmarks if b.get("run_type") == "iteration" and not b.get("error_occurred")]
    by_name, order = {}, {}
    for b in runs:
        by_name.setdefault(b["run_name"], {})[b.get("repetition_index", 0)] = b
        order[b["run_name"]] = (b.get("family_index", 0), b.get("per_family_instance_index", 0))
    names = sorted(by_name, key=order.get)
    rows = []
    ratio_keys = sorted({k for b in runs for k in b if k.startswith("ratio")})
    if ratio_keys:
        for name in names:
            for key in ratio_keys:
                values = [b[key] for b in by_name[name].values() if key in b]
                if values:
                    rows.append((program, name, key, spread(values), "", str(len(values))))
        return rows
    groups = {}
    for name in names:
        groups.setdefault(name.partition("/")[2], []).append(name)
    for group in groups.values():
        subject = by_name[group[0]]
        for other_name in group[1:]:
            other = by_name[other_name]
            common = sorted(set(subject) & set(other))
            if not common:
                continue
            wall = [subject[i]["real_time"] / other[i]["real_time"] for i in common]
            cpu = [subject[i]["cpu_time"] / other[i]["cpu_time"] for i in common]
            rows.append((program, group[0], "vs " + other_name, spread(wall), spread(cpu), str(len(common))))
    return rows


def main():
    results, memory = sys.argv[1], sys.argv[2:]
    rows = []
    for name in sorted(n for n in os.listdir(results) if n.endswith(".json")):
        with open(os.path.join(results, name)) as f:
            rows += program_rows(name[: -len(".json")], json.load(f)["benchmarks"])
    once = os.path.join(results, "startup_once.txt")
    if os.path.exists(once):
        with open(once) as f:
            pairs = [tuple(map(float, line.split())) for line in f if len(line.split()) == 2]
        if pairs:
            load = statistics.median(p[0] for p in pairs)
            baseline = statistics.median(p[1] for p in pairs)
            rows.append(("qeb_startup_once", f"load (median {load:.1f} ms)", f"vs baseline (median {baseline:.1f} ms)",
                         spread([p[0] / p[1] for p in pairs]), "", str(len(pairs))))
    header = ("program", "measured", "against", "wall min/median/max", "CPU min/median/max", "n")
    widths = [max(len(r[i]) for r in rows + [header]) for i in range(len(header))]
    for row in [header] + rows:
        print("  ".join(c.ljust(w) for c, w in zip(row, widths)).rstrip())
    if len(memory) == 2 and all(m.isdigit() for m in memory):
        full, one = map(int, memory)
        print(f"\npeak resident memory of a start-up: {full} KB with 127 pictures, {one} KB with one;"
              f" {(full - one) / 126:.0f} KB more per picture")
    else:
        print("\npeak resident memory of a start-up: not measured", *memory)


if __name__ == "__main__":
    main()
