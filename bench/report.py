#!/usr/bin/env python3
"""Runs the benchmark programs and `wc -l` / `grep -c '^1,'` on the same
files in the same run, and prints one table with the targets checked.

Scan, wc and grep times are CPU times (user + system) of the process, the
best of several runs, so that other work on the machine moves them little;
the dialog's times are wall-clock times (what a user waits), the median of
three runs, each followed by its CPU time: on a busy machine the wall
time grows with the load, the CPU time much less. Called by bench/run.
"""

import argparse
import json
import os
import resource
import statistics
import subprocess
import sys
import time

RUNS = 5
DIALOG_RUNS = 3


def child_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def time_command(command, runs=RUNS):
    """Best CPU and wall seconds of the command."""
    best_cpu = best_wall = float("inf")
    for _ in range(runs):
        cpu, wall = child_cpu(), time.perf_counter()
        # Output to a pipe: grep stops at the first match when it writes to /dev/null.
        subprocess.run(command, check=True, stdout=subprocess.PIPE)
        best_wall = min(best_wall, time.perf_counter() - wall)
        best_cpu = min(best_cpu, child_cpu() - cpu)
    return best_cpu, best_wall


def table_figures(build, data, persons):
    command = [os.path.join(build, "bench", "table_bench"), f"--data={data}", f"--persons={persons}",
               "--benchmark_format=json", f"--benchmark_repetitions={RUNS}", "--benchmark_min_time=0.2"]
    out = subprocess.run(command, check=True, capture_output=True, text=True).stdout
    figures = {}
    for run in json.loads(out)["benchmarks"]:
        if run.get("run_type") != "iteration":
            continue
        name = run["run_name"]
        unit = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[run["time_unit"]]
        entry = figures.setdefault(name, {"cpu": float("inf"), "allocs": 0.0})
        entry["cpu"] = min(entry["cpu"], run["cpu_time"] * unit)
        entry["allocs"] = max(entry["allocs"], run.get("allocs_per_scan", 0.0))
    return figures


def dialog_figures(build, folder, count):
    command = [os.path.join(build, "bench", "dialog_bench"), folder, str(count)]
    runs = []
    for _ in range(DIALOG_RUNS):
        out = subprocess.run(command, check=True, capture_output=True, text=True).stdout
        runs.append(dict(pair.split("=") for pair in out.split()))
    return {key: statistics.median(float(run[key]) for run in runs) for key in runs[0]}


def vcard_figures(build, folder, count):
    """Best of three runs inside vcard_bench: export, import of 10,000 cards."""
    command = [os.path.join(build, "bench", "vcard_bench"), folder, str(count)]
    out = subprocess.run(command, check=True, capture_output=True, text=True).stdout
    return {key: float(value) for key, value in (pair.split("=") for pair in out.split())}


def preview_figures(build):
    """The print dialog's preview of one card, medians inside preview_bench."""
    out = subprocess.run([os.path.join(build, "bench", "preview_bench")], check=True, capture_output=True,
                         text=True).stdout
    return {key: float(value) for key, value in (pair.split("=") for pair in out.split())}


def hagaki_figures(build, folder):
    """Best wall and CPU seconds of three runs of the real kanaroku-hagaki
    writing every person of the folder's book to a PDF."""
    command = [os.path.join(build, "postcard", "kanaroku-hagaki"), os.path.join(folder, "hagaki-bench.pdf")]
    best_cpu = best_wall = float("inf")
    for _ in range(DIALOG_RUNS):
        cpu, wall = child_cpu(), time.perf_counter()
        out = subprocess.run(command, check=True, cwd=folder, capture_output=True, text=True).stdout
        best_wall = min(best_wall, time.perf_counter() - wall)
        best_cpu = min(best_cpu, child_cpu() - cpu)
    os.remove(command[1])
    return {"hagaki_s": best_wall, "hagaki_cpu_s": best_cpu, "summary": out.splitlines()[0]}


def postal_figures(build):
    """First look-ups (best of five) and p99 of single ones, inside postal_bench."""
    out = subprocess.run([os.path.join(build, "bench", "postal_bench")], check=True, capture_output=True,
                         text=True).stdout
    return {key: float(value) for key, value in (pair.split("=") for pair in out.split())}


def seconds(value):
    return f"{value:.3f}" if value >= 0.01 else f"{value * 1000:.2f} ms"


def wall_and_cpu(row, key):
    return f"{seconds(row[key + '_s'])} ({seconds(row[key + '_cpu_s'])})"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--persons", required=True)
    args = parser.parse_args()
    sizes = [int(n) for n in args.persons.split(",")]

    load_before = os.getloadavg()[0]
    table = table_figures(args.build, args.data, args.persons)
    rows = []
    for n in sizes:
        file = os.path.join(args.data, str(n), "AddressTable.csv")
        wc_cpu, _ = time_command(["wc", "-l", file])
        grep_cpu, _ = time_command(["grep", "-c", "^1,", file])
        dialog = dialog_figures(args.build, os.path.dirname(file), n)
        scan = table[f"FullScan/{n}"]["cpu"]
        rows.append({
            "n": n, "mb": os.path.getsize(file) / 1e6, "scan": scan, "wc": wc_cpu, "grep": grep_cpu,
            "row": table[f"RowScan/{n}"]["cpu"], "lookup": table[f"LookupLast/{n}"]["cpu"],
            "dup": table[f"DuplicateCheck/{n}"]["cpu"], "allocs": table[f"FullScan/{n}"]["allocs"],
            **dialog,
        })

    header = ["persons", "file MB", "scan s", "MB/s", "wc -l s", "grep s", "scan/grep", "scan/wc",
              "row scan s", "lookup last s", "dup check s", "allocs/scan", "start-up s (cpu)", "refill か s (cpu)",
              "refill ALL s (cpu)", "double-click s (cpu)", "peak MB"]
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for r in rows:
        cells = [f"{r['n']:,}", f"{r['mb']:.1f}", seconds(r["scan"]), f"{r['mb'] / r['scan']:.0f}",
                 seconds(r["wc"]), seconds(r["grep"]), f"{r['scan'] / r['grep']:.2f}", f"{r['scan'] / r['wc']:.2f}",
                 seconds(r["row"]), seconds(r["lookup"]), seconds(r["dup"]), f"{r['allocs']:.0f}",
                 wall_and_cpu(r, "startup"), wall_and_cpu(r, "refill_ka"), wall_and_cpu(r, "refill_all"),
                 wall_and_cpu(r, "lookup"), f"{r['peak_rss_kib'] / 1024:.0f}"]
        print("| " + " | ".join(cells) + " |")

    classify = table["ClassifyReading"]["cpu"]
    print(f"\nClassifyReading: {classify * 1e9:.0f} ns for 8 readings. "
          "Scan, wc and grep: CPU seconds, best of 5; dialog: wall seconds (CPU seconds), median of 3. "
          f"Load average {load_before:.1f} at the start, {os.getloadavg()[0]:.1f} at the end.")
    vcard = None
    if 100000 in sizes:
        vcard = vcard_figures(args.build, os.path.join(args.data, "100000"), 100000)
        print("\n| kanaroku-vcard, 100,000 persons | wall s (cpu) |\n|---|---|")
        print(f"| export of every person | {wall_and_cpu(vcard, 'export')} |")
        print(f"| import of 10,000 cards (1,000 names already there) | {wall_and_cpu(vcard, 'import')} |")
    hagaki = None
    if 1000 in sizes:
        hagaki = hagaki_figures(args.build, os.path.join(args.data, "1000"))
        print("\n| kanaroku-hagaki, 1,000 persons | wall s (cpu) |\n|---|---|")
        print(f"| every person to PDF ({hagaki['summary']}) | {wall_and_cpu(hagaki, 'hagaki')} |")
    postal = None
    if os.path.exists("/usr/share/skk/SKK-JISYO.zipcode"):
        postal = postal_figures(args.build)
        print("\n| postal codes, Debian's data | wall s (cpu) |\n|---|---|")
        print(f"| first code → address (files read) | {wall_and_cpu(postal, 'forward')} |")
        print(f"| first address → code (files read, index built) | {wall_and_cpu(postal, 'reverse')} |")
        print(f"| code → address, p99 of {postal['codes']:,.0f} | {seconds(postal['code_p99_s'])} |")
        print(f"| address → code, p99 of {postal['addresses']:,.0f} | {seconds(postal['address_p99_s'])} |")
    preview = preview_figures(args.build)
    print("\n| print dialog, one postcard | wall s (cpu) |\n|---|---|")
    print(f"| first preview from opening the dialog | {wall_and_cpu(preview, 'preview_open')} |")
    print(f"| preview drawn anew after an option changed | {wall_and_cpu(preview, 'preview_redraw')} |")
    failed = report_targets({r["n"]: r for r in rows}, vcard, hagaki, postal, preview)
    sys.exit(1 if failed else 0)


def report_targets(by_size, vcard, hagaki=None, postal=None, preview=None):
    checks = []
    for n, r in by_size.items():
        if n >= 100000:
            checks.append((f"{n:,}: scan <= grep -c", r["scan"] <= r["grep"]))
            checks.append((f"{n:,}: scan <= 3 x wc -l", r["scan"] <= 3 * r["wc"]))
    allocs = {r["allocs"] for r in by_size.values()}
    checks.append((f"allocations per scan the same at every size ({', '.join(f'{a:.0f}' for a in allocs)})",
                   len(allocs) == 1))
    if 100000 in by_size:
        r = by_size[100000]
        checks.append(("100,000: start-up <= 0.5 s", r["startup_s"] <= 0.5))
        refill = max(r["refill_ka_s"], r["refill_all_s"])
        refill_cpu = max(r["refill_ka_cpu_s"], r["refill_all_cpu_s"])
        checks.append((f"100,000: refill (か and ALL) <= 0.2 s (slowest {refill:.3f} s, CPU {refill_cpu:.3f} s)",
                       refill <= 0.2))
        checks.append(("100,000: peak memory <= 150 MB", r["peak_rss_kib"] / 1024 <= 150))
        if 1000000 in by_size:
            ratio = by_size[1000000]["startup_s"] / r["startup_s"]
            checks.append((f"1,000,000: start-up <= 6 s and <= 12 x the 100,000 one ({ratio:.1f} x)",
                           by_size[1000000]["startup_s"] <= 6 and ratio <= 12))
    if vcard:
        checks.append(("100,000: vCard export <= 1 s", vcard["export_s"] <= 1))
        checks.append(("100,000: vCard import of 10,000 cards <= 1 s", vcard["import_s"] <= 1))
    if hagaki:
        checks.append(("1,000: postcards to PDF <= 2 s", hagaki["hagaki_s"] <= 2))
    if postal:
        load = max(postal["forward_s"], postal["reverse_s"])
        checks.append((f"postal codes: first look-up, files read, <= 50 ms ({load * 1000:.1f} ms)", load <= 0.05))
        p99 = max(postal["code_p99_s"], postal["address_p99_s"])
        checks.append((f"postal codes: look-up p99 <= 1 ms ({p99 * 1000:.3f} ms)", p99 <= 0.001))
    if preview:
        checks.append(("preview of one card <= 50 ms (opened and redrawn)",
                       max(preview["preview_open_s"], preview["preview_redraw_s"]) <= 0.05))
    print("\nTargets:")
    for text, ok in checks:
        print(f"  {'met   ' if ok else 'MISSED'} {text}")
    return [text for text, ok in checks if not ok]


if __name__ == "__main__":
    main()
