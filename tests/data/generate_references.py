#!/usr/bin/env python3
"""Writes the reference vectors in tests/data from GeographicLib's tools.

Run by hand after installing geographiclib-tools; the tests only read the
files. Each line: inputs, expected outputs, tolerance with its unit, source.
"""
import pathlib
import subprocess

HERE = pathlib.Path(__file__).resolve().parent
ELLIPSOIDS = [  # name, a, 1/f
    ("xian80", "6378140", "298.257"),
    ("cgcs2000", "6378137", "298.257222101"),
    ("beijing54", "6378245", "298.3"),
    ("wgs84", "6378137", "298.257223563"),
]
LATITUDES = [0, 15, 30, 45, 60]
OFFSETS = [0, 1.5, 3, 4.5, 6]
# Series against exact transverse Mercator: grows with l^8 (0.1 mm at 3 deg).
GK_TOLERANCE_MM = {0: 0.01, 1.5: 0.01, 3: 0.2, 4.5: 2.0, 6: 15.0}
# UTM series: meridian arc truncated at e^6 (below 1 mm), then the l^8 term.
UTM_TOLERANCE_MM = {0: 1.0, 1.5: 1.0, 3: 1.0, 4.5: 5.0, 6: 20.0}


def run(cmd, lines):
    out = subprocess.run(cmd, input="\n".join(lines) + "\n", text=True,
                         capture_output=True, check=True).stdout
    return [row.split() for row in out.strip().splitlines()]


def transverse_mercator(path, scale, source, tolerances):
    rows = [f"# {source}: latitude_deg lon_diff_deg a inv_f scale -> "
            "northing_m easting_m tolerance_mm",
            "# exact transverse Mercator (Karney), central meridian 0, "
            "no false easting/northing"]
    for name, a, inv_f in ELLIPSOIDS:
        inputs = [f"{b} {l}" for b in LATITUDES for l in OFFSETS]
        out = run(["TransverseMercatorProj", "-e", a, f"1/{inv_f}",
                   "-k", str(scale), "-l", "0"], inputs)
        for text, (x_east, y_north, *_) in zip(inputs, out):
            b, l = text.split()
            tol = tolerances[float(l) if float(l) % 1 else int(float(l))]
            rows.append(f"{b} {l} {a} {inv_f} {scale} {y_north} {x_east} "
                        f"{tol} mm TransverseMercatorProj")
    path.write_text("\n".join(rows) + "\n")


def geocentric(path):
    rows = ["# latitude_deg longitude_deg height_m a inv_f -> X_m Y_m Z_m "
            "tolerance_mm source"]
    for name, a, inv_f in ELLIPSOIDS:
        inputs = [f"{b} {l} {h}" for b in (-60, 0, 23.5, 45, 89.9)
                  for l in (-120, 0, 75, 179.5) for h in (-10000, 0, 10000)]
        out = run(["CartConvert", "-e", a, f"1/{inv_f}", "-p", "9"], inputs)
        for text, (x, y, z) in zip(inputs, out):
            rows.append(f"{text} {a} {inv_f} {x} {y} {z} 0.5 mm CartConvert")
    path.write_text("\n".join(rows) + "\n")


if __name__ == "__main__":
    transverse_mercator(HERE / "gauss_kruger_references.txt", 1,
                        "Gauss-Krueger, scale 1", GK_TOLERANCE_MM)
    transverse_mercator(HERE / "utm_references.txt", 0.9996, "UTM, scale 0.9996", UTM_TOLERANCE_MM)
    geocentric(HERE / "geocentric_references.txt")
