#!/usr/bin/env python3
"""Checks the indices of `corvane assess --json` against the formulas, computed here from the two
sweeps' points as the database holds them (measured through the simulated instrument).

Usage: assessment_oracle.py DATABASE ASSESSMENT.json
Prints "ok" and exits 0 when every index agrees (1e-9, relative for large values; LRxy, whose root
the program takes in single precision, 1e-6, and Rxy from the program's own LRxy, since near 1 a
part in 10^7 of LRxy moves it visibly); otherwise names each disagreement."""
import json
import math
import sqlite3
import sys


def gains(db, sweep):
    table = {0: "Data", 1: "Data_FRA"}[db.execute("SELECT Data_Type FROM Sweep WHERE SweepId=?", (sweep,)).fetchone()[0]]
    return db.execute(f"SELECT Frequency, Amplitude FROM {table} WHERE Sweep_Id=? ORDER BY Data_Id", (sweep,)).fetchall()


def resampled(reference, sweep):
    """The reference's points within the sweep's range, the sweep's gain interpolated linearly."""
    points = []
    for f, x in reference:
        if f < sweep[0][0]:
            continue
        if f > sweep[-1][0]:
            break
        for (f0, g0), (f1, g1) in zip(sweep, sweep[1:]):
            if f0 <= f <= f1:
                points.append((f, x, g0 + (f - f0) / (f1 - f0) * (g1 - g0) if f1 != f0 else g0))
                break
    return points


def indices(points, low, high):
    band = [(f, x, y) for f, x, y in points if low < f <= high]
    n = len(band)
    out = {"count": n}
    if n == 0:
        return out
    xs = [x for _, x, _ in band]
    ys = [y for _, _, y in band]
    d = [y - x for x, y in zip(xs, ys)]
    mx, my = sum(xs) / n, sum(ys) / n
    vx = sum((x - mx) ** 2 for x in xs) / n
    vy = sum((y - my) ** 2 for y in ys) / n
    if vx > 0 and vy > 0:
        lr = sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / n / math.sqrt(vx * vy)
        out["LRxy"] = lr
        out["Rxy"] = 10.0 if 1 - lr < 1e-10 else -math.log10(1 - lr)
    out["CC"] = sum(x * y for x, y in zip(xs, ys)) / math.sqrt(sum(x * x for x in xs) * sum(y * y for y in ys))
    out["ASLE"] = sum(abs(v) for v in d) / n
    lin = [(10 ** (x / 20), 10 ** (y / 20)) for x, y in zip(xs, ys)]
    out["MM"] = sum(min(a, b) for a, b in lin) / sum(max(a, b) for a, b in lin)
    out["maxAbsDiff"] = max(abs(v) for v in d)
    if n > 1:
        out["SD"] = math.sqrt(sum(v * v for v in d) / (n - 1))
        out["CSD"] = math.sqrt(sum(((x - mx) - (y - my)) ** 2 for x, y in zip(xs, ys)) / (n - 1))
    return out


def main():
    db = sqlite3.connect(sys.argv[1])
    with open(sys.argv[2]) as f:
        result = json.load(f)
    points = resampled(gains(db, result["reference"]), gains(db, result["sweep"]))
    problems = []
    if result["grid"]["points"] != len(points):
        problems.append(f"grid: {result['grid']['points']} points against {len(points)}")
    for analysis in [result["dlt911"]] + ([result["custom"]] if result["custom"] else []):
        for band in analysis["bands"]:
            expected = indices(points, band["low"], band["high"])
            if band["LRxy"] is not None and "Rxy" in expected:
                lr = band["LRxy"]
                expected["Rxy"] = 10.0 if 1 - lr < 1e-10 else -math.log10(1 - lr)
            for key in ("count", "LRxy", "Rxy", "CC", "SD", "CSD", "ASLE", "MM", "maxAbsDiff"):
                want, got = expected.get(key), band[key]
                tolerance = 1e-6 if key == "LRxy" else 1e-9
                if (want is None) != (got is None) or (
                        want is not None and abs(want - got) > tolerance * max(1.0, abs(want))):
                    problems.append(f"{analysis['title']} {band['name']} {key}: {got} against {want}")
    print("\n".join(problems) if problems else "ok")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
