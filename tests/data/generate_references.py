#!/usr/bin/env python3
"""Writes the reference vectors in tests/data from GeographicLib's tools,
from PROJ's cct and, for the two-dimensional seven-parameter model, from a
derivation of its own.

Run by hand with Debian's /usr/bin/python3 after installing geographiclib-tools,
proj-bin and python3-mpmath; the tests only read the files. Each line: inputs, expected outputs, tolerance with its unit,
source.
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


def proj_transverse_mercator(path):
    """The Gauss-Krueger points once more from PROJ's exact tmerc (Poder/Engsager)."""
    rows = ["# Gauss-Krueger, scale 1: latitude_deg lon_diff_deg a inv_f scale -> "
            "northing_m easting_m tolerance_mm",
            "# PROJ cct +proj=tmerc +lon_0=0 +k=1 (exact algorithm), no false easting/northing"]
    for name, a, inv_f in ELLIPSOIDS:
        inputs = [f"{l} {b} 0" for b in LATITUDES for l in OFFSETS]
        out = run(["cct", "-d", "6", "+proj=tmerc", "+lon_0=0", "+k=1", f"+a={a}", f"+rf={inv_f}"], inputs)
        for text, (east, north, *_) in zip(inputs, out):
            l, b, _ = text.split()
            tol = GK_TOLERANCE_MM[float(l) if float(l) % 1 else int(float(l))]
            rows.append(f"{b} {l} {a} {inv_f} 1 {north} {east} {tol} mm cct-tmerc")
    path.write_text("\n".join(rows) + "\n")


def proj_inverse_grid(path):
    """A dense grid over the inner 1.5 degrees of a zone, where the
    Gauss-Krueger series claim 0.01 mm both ways: every 2 degrees of latitude
    from 0 to 56 and every 0.1 degree from the central meridian, on the
    CGCS2000 and Beijing 54 ellipsoids. Dense enough that an inverse footpoint
    iteration stopped early shows at some point of it."""
    rows = ["# Gauss-Krueger, scale 1: latitude_deg lon_diff_deg a inv_f scale -> "
            "northing_m easting_m tolerance_mm",
            "# PROJ cct +proj=tmerc +lon_0=0 +k=1 (exact algorithm), no false easting/northing"]
    for name, a, inv_f in (ELLIPSOIDS[1], ELLIPSOIDS[2]):
        points = [(b, round(0.1 * i, 1)) for b in range(0, 57, 2) for i in range(1, 16)]
        out = run(["cct", "-d", "6", "+proj=tmerc", "+lon_0=0", "+k=1", f"+a={a}", f"+rf={inv_f}"],
                  [f"{l} {b} 0" for b, l in points])
        for (b, l), (east, north, *_) in zip(points, out):
            rows.append(f"{b} {l} {a} {inv_f} 1 {north} {east} 0.01 mm cct-tmerc")
    path.write_text("\n".join(rows) + "\n")


# Bursa-Wolf sets (Tx Ty Tz m, Rx Ry Rz arc seconds, D): rotations of both
# signs, positive and negative scale differences.
BURSA_WOLF_SETS = [
    ("-12.5", "85.2", "40.7", "0.8", "-1.2", "2.1", "3.5e-6"),
    ("100", "-50", "20", "1.5", "-2.0", "0.8", "-3.2e-6"),
    ("-35.5", "120.25", "60.1", "-4.9", "3.3", "-5.0", "-8e-6"),
]
# source ellipsoid, target ellipsoid, central meridian L0 of the source zone
BURSA_WOLF_FRAMES = [(ELLIPSOIDS[2], ELLIPSOIDS[0], 114), (ELLIPSOIDS[3], ELLIPSOIDS[1], 117),
                     (ELLIPSOIDS[0], ELLIPSOIDS[2], 0)]


def bursa_wolf(path):
    """The program's Bursa-Wolf model through PROJ.

    The program forms geocentric coordinates from the latitude and the
    longitude counted from the central meridian L0, so its parameters hold in
    a frame turned by L0: the PROJ side gets l = L - L0 and gives back l' + L0.
    PROJ's helmert multiplies the rotated vector by (1 + s), a term the
    program's linearised formula leaves out; the rotations go to PROJ divided
    by (1 + D), which makes the two formulas the same. What remains is the
    geocentric inverse on both sides: 0.02 mm in height at 1500 m.
    """
    rows = ["# latitude_deg longitude_deg height_m L0_deg a1 inv_f1 a2 inv_f2 Tx Ty Tz Rx Ry Rz D -> "
            "latitude_deg longitude_deg height_m tolerance_mm source",
            "# PROJ: cart, helmert +convention=coordinate_frame with R / (1 + D), inverse cart; "
            "longitudes counted from L0 on the PROJ side"]
    for (_, a1, f1), (_, a2, f2), l0 in BURSA_WOLF_FRAMES:
        for tx, ty, tz, rx, ry, rz, d in BURSA_WOLF_SETS:
            scale = 1 + float(d)
            pipeline = ["+proj=pipeline", "+step", "+proj=unitconvert", "+xy_in=deg", "+xy_out=rad",
                        "+step", "+proj=cart", f"+a={a1}", f"+rf={f1}",
                        "+step", "+proj=helmert", f"+x={tx}", f"+y={ty}", f"+z={tz}",
                        f"+rx={float(rx) / scale!r}", f"+ry={float(ry) / scale!r}", f"+rz={float(rz) / scale!r}",
                        f"+s={float(d) * 1e6!r}", "+convention=coordinate_frame",
                        "+step", "+inv", "+proj=cart", f"+a={a2}", f"+rf={f2}",
                        "+step", "+proj=unitconvert", "+xy_in=rad", "+xy_out=deg"]
            points = [(b, l0 + l, h) for b in (18.5, 31.25, 45.75) for l in (-2.75, 0.5, 2.9) for h in (-30, 1500)]
            inputs = [f"{L - l0!r} {b!r} {h}" for b, L, h in points]
            out = run(["cct", "-d", "12"] + pipeline, inputs)
            for (b, L, h), (lon, lat, height, *_) in zip(points, out):
                rows.append(f"{b} {L} {h} {l0} {a1} {f1} {a2} {f2} {tx} {ty} {tz} {rx} {ry} {rz} {d} "
                            f"{lat} {float(lon) + l0!r} {height} 0.05 mm cct-helmert")
    path.write_text("\n".join(rows) + "\n")


# Four-parameter sets: Tx Ty Tz (m), R (arc seconds), region centre B0, L0 (degrees).
FOUR_3D_SETS = [
    ("-12.5", "85.2", "40.7", "2.5", 31.0, 114.5),
    ("100", "-50", "20", "-7.25", 36.5, 117.75),
]


def four_3d(path):
    """The three-dimensional four-parameter model through PROJ.

    A rotation R about the normal n of the region centre is a Bursa-Wolf
    rotation vector (Rx, Ry, Rz) = -R n without scale; n is taken at the
    centre's longitude counted from the central meridian L0, in whose frame
    the program forms its Cartesian coordinates. PROJ's helmert without
    +exact uses the same small-angle rotation matrix.
    """
    import math
    rows = ["# latitude_deg longitude_deg height_m L0_deg a1 inv_f1 a2 inv_f2 Tx Ty Tz R_arcsec B0_deg L0c_deg -> "
            "latitude_deg longitude_deg height_m tolerance_mm source",
            "# PROJ: cart, helmert +convention=coordinate_frame with (rx, ry, rz) = -R n(B0, L0c - L0), "
            "inverse cart; longitudes counted from L0 on the PROJ side"]
    for (_, a1, f1), (_, a2, f2), l0 in BURSA_WOLF_FRAMES[:2]:
        for tx, ty, tz, r, b0, lc in FOUR_3D_SETS:
            b0r, l0r = math.radians(b0), math.radians(lc - l0)
            n = (math.cos(b0r) * math.cos(l0r), math.cos(b0r) * math.sin(l0r), math.sin(b0r))
            rx, ry, rz = (-float(r) * c for c in n)
            pipeline = ["+proj=pipeline", "+step", "+proj=unitconvert", "+xy_in=deg", "+xy_out=rad",
                        "+step", "+proj=cart", f"+a={a1}", f"+rf={f1}",
                        "+step", "+proj=helmert", f"+x={tx}", f"+y={ty}", f"+z={tz}",
                        f"+rx={rx!r}", f"+ry={ry!r}", f"+rz={rz!r}", "+s=0", "+convention=coordinate_frame",
                        "+step", "+inv", "+proj=cart", f"+a={a2}", f"+rf={f2}",
                        "+step", "+proj=unitconvert", "+xy_in=rad", "+xy_out=deg"]
            points = [(b, l0 + l, h) for b in (b0 - 1.2, b0 + 0.4) for l in (-1.3, 0.7, 2.9) for h in (-30, 1500)]
            out = run(["cct", "-d", "12"] + pipeline, [f"{L - l0!r} {b!r} {h}" for b, L, h in points])
            for (b, L, h), (lon, lat, height, *_) in zip(points, out):
                rows.append(f"{b!r} {L!r} {h} {l0} {a1} {f1} {a2} {f2} {tx} {ty} {tz} {r} {b0} {lc} "
                            f"{lat} {float(lon) + l0!r} {height} 0.05 mm cct-helmert")
    path.write_text("\n".join(rows) + "\n")


def seven_2d(path):
    """The two-dimensional seven-parameter model by a derivation of its own.

    Every term is the first-order change of the geodetic latitude or
    longitude of a point on the source ellipsoid (height 0), found by
    differentiating the exact geodetic coordinates (mpmath, 50 digits):
    - translations and scale: the point moves by T + D X in Cartesian space;
      the change of (B, L) of the moved point;
    - change of ellipsoid: the Cartesian point stays; the change of its
      latitude when (a, f) become (a2, f2);
    - rotations (coordinate frame convention, as the Bursa-Wolf references):
      the model takes them as the turn of the point's normal direction, that
      is the rotation terms of a sphere. The exact linearisation on the
      ellipsoid multiplies the longitude's Rx, Ry terms by (1 - e^2) and the
      latitude's by N (1 - e^2 sin^2 B) / M; the program's model leaves these
      factors out (its users' parameter files are solved with it), and the
      references follow the model as it is.
    The last column is the horizontal distance in metres from PROJ's exact
    Helmert transformation of the same point (cct, as bursa_wolf above, at
    height 0): the linearisation and the spherical rotation terms together,
    0.1 to 0.75 m for these sets, so PROJ cannot check this model to better
    than decimetres.
    """
    import mpmath as mp
    mp.mp.dps = 50
    rho = 180 * 3600 / mp.pi

    def geodetic(xyz, a, f):
        x, y, z = xyz
        e2 = f * (2 - f)
        p = mp.hypot(x, y)
        b = mp.atan2(z, p * (1 - e2))
        for _ in range(400):
            n = a / mp.sqrt(1 - e2 * mp.sin(b) ** 2)
            b_next = mp.atan2(z + e2 * n * mp.sin(b), p)
            if abs(b_next - b) < mp.mpf(10) ** -48:
                b = b_next
                break
            b = b_next
        return b, mp.atan2(y, x)

    def cartesian(b, l, a, f):
        e2 = f * (2 - f)
        n = a / mp.sqrt(1 - e2 * mp.sin(b) ** 2)
        return (n * mp.cos(b) * mp.cos(l), n * mp.cos(b) * mp.sin(l), n * (1 - e2) * mp.sin(b))

    def derivative(function):
        # Central difference with a step far above the iteration's 1e-45
        # and far below the scale of the terms: error about 1e-24 relative.
        h = mp.mpf(10) ** -12
        return (function(h) - function(-h)) / (2 * h)

    def direction(v):
        return mp.atan2(v[2], mp.hypot(v[0], v[1])), mp.atan2(v[1], v[0])

    def shifted(b_deg, l_deg, a1, f1, a2, f2, t, r, d):
        b, l = mp.radians(b_deg), mp.radians(l_deg)
        xyz = cartesian(b, l, a1, f1)
        move = [t[i] + d * xyz[i] for i in range(3)]
        ex, ey, ez = (ri / rho for ri in r)
        normal = (mp.cos(b) * mp.cos(l), mp.cos(b) * mp.sin(l), mp.sin(b))
        # Coordinate frame rotation: X' = X + (ez Y - ey Z, -ez X + ex Z, ey X - ex Y).
        turn = (ez * normal[1] - ey * normal[2], -ez * normal[0] + ex * normal[2], ey * normal[0] - ex * normal[1])
        total = [mp.mpf(0), mp.mpf(0)]
        for k in range(2):
            total[k] += derivative(lambda s: geodetic([xyz[i] + s * move[i] for i in range(3)], a1, f1)[k])
            total[k] += derivative(lambda s: direction([normal[i] + s * turn[i] for i in range(3)])[k])
            total[k] += derivative(lambda s: geodetic(xyz, a1 + s * (a2 - a1), f1 + s * (f2 - f1))[k])
        return mp.degrees(b + total[0]), mp.degrees(l + total[1])

    rows = ["# latitude_deg longitude_deg L0_deg a1 inv_f1 a2 inv_f2 Tx Ty Tz Rx Ry Rz D -> "
            "latitude_deg longitude_deg tolerance_mm source proj_difference_m",
            "# hand derivation (generate_references.py seven_2d, mpmath): first-order changes of B, L at height 0, "
            "rotation terms of the normal direction; longitudes counted from L0 on both sides",
            "# differs from PROJ's exact Helmert (cct, coordinate_frame) by the last column, metres: "
            "the model's linearisation and its rotation terms without (1 - e^2), 0.1 to 0.75 m here"]
    for (_, a1, f1), (_, a2, f2), l0 in BURSA_WOLF_FRAMES:
        ma1, mf1, ma2, mf2 = mp.mpf(a1), 1 / mp.mpf(f1), mp.mpf(a2), 1 / mp.mpf(f2)
        for tx, ty, tz, rx, ry, rz, d in BURSA_WOLF_SETS:
            t = [mp.mpf(v) for v in (tx, ty, tz)]
            r = [mp.mpf(v) for v in (rx, ry, rz)]
            points = [(b, l) for b in (18.5, 31.25, 45.75) for l in (-2.75, 0.5, 2.9)]
            pipeline = ["+proj=pipeline", "+step", "+proj=unitconvert", "+xy_in=deg", "+xy_out=rad",
                        "+step", "+proj=cart", f"+a={a1}", f"+rf={f1}",
                        "+step", "+proj=helmert", f"+x={tx}", f"+y={ty}", f"+z={tz}",
                        f"+rx={rx}", f"+ry={ry}", f"+rz={rz}", f"+s={float(d) * 1e6!r}",
                        "+convention=coordinate_frame",
                        "+step", "+inv", "+proj=cart", f"+a={a2}", f"+rf={f2}",
                        "+step", "+proj=unitconvert", "+xy_in=rad", "+xy_out=deg"]
            proj = run(["cct", "-d", "12"] + pipeline, [f"{l!r} {b!r} 0" for b, l in points])
            for (b, l), (proj_lon, proj_lat, *_) in zip(points, proj):
                lat, lon = shifted(b, l, ma1, mf1, ma2, mf2, t, r, mp.mpf(d))
                north = (lat - mp.mpf(proj_lat)) * mp.pi / 180 * ma2
                east = (lon - mp.mpf(proj_lon)) * mp.pi / 180 * ma2 * mp.cos(mp.radians(lat))
                rows.append(f"{b!r} {l0 + l!r} {l0} {a1} {f1} {a2} {f2} {tx} {ty} {tz} {rx} {ry} {rz} {d} "
                            f"{mp.nstr(lat, 15, min_fixed=-1, max_fixed=4)} "
                            f"{mp.nstr(lon + l0, 15, min_fixed=-1, max_fixed=4)} 0.05 mm hand-2d7p "
                            f"{mp.nstr(mp.hypot(north, east), 3)}")
    path.write_text("\n".join(rows) + "\n")


if __name__ == "__main__":
    transverse_mercator(HERE / "gauss_kruger_references.txt", 1,
                        "Gauss-Krueger, scale 1", GK_TOLERANCE_MM)
    transverse_mercator(HERE / "utm_references.txt", 0.9996, "UTM, scale 0.9996", UTM_TOLERANCE_MM)
    geocentric(HERE / "geocentric_references.txt")
    proj_transverse_mercator(HERE / "gauss_kruger_proj_references.txt")
    bursa_wolf(HERE / "bursa_wolf_references.txt")
    proj_inverse_grid(HERE / "gauss_kruger_inverse_grid.txt")
    four_3d(HERE / "four_3d_references.txt")
    seven_2d(HERE / "seven_2d_references.txt")
