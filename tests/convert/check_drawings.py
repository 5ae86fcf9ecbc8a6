"""The DXF converter checked with an independent reader (ezdxf).

Writes the test drawings (make_drawings.py), converts each with coordconv-cli
(the identity, a 3° zone change, a Beijing 1954 to Xi'an 1980 Bursa-Wolf
plane-to-plane conversion) and reads the results back with ezdxf:
  - audit() finds no error;
  - every converted point equals coordconv-cli's conversion of the same
    point in a point file within 0.1 mm (arc ends and points on circles too);
  - text and block angles and sizes follow the local rotation and scale,
    taken from the point conversion of points 100 m around the anchor;
  - every pair that holds no geometry is byte-identical, in the same order;
  - paper space is unchanged but for the model-space centre of its viewport;
  - the identity gives the input byte for byte;
  - arcs and circles of up to 1 km radius converted across a 3° zone change
    stay within 1 mm of their exactly converted points.

    /usr/bin/python3 check_drawings.py COORDCONV_CLI WORKDIR
"""
import json
import math
import os
import subprocess
import sys

import ezdxf
from ezdxf.math import Vec3

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_drawings  # noqa: E402

CLI = sys.argv[1]
WORK = sys.argv[2]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(args, stdin=None):
    result = subprocess.run([CLI] + args, input=stdin, capture_output=True)
    if result.returncode != 0:
        raise SystemExit(f"coordconv-cli {' '.join(args)} failed: {result.stderr.decode('utf-8', 'replace')}")
    return result


# The conversions: the tool's options for the drawing and for the point file.
BURSA = os.path.join(WORK, "bursa.txt")
ZERO = os.path.join(WORK, "zero.txt")
CONVERSIONS = {
    "zone": (["zone-change", "--cm", "114", "--cm2", "117"], 3),
    "bursa": (["bursa-wolf", "convert", "--system", "beijing54", "--system2", "xian80", "--cm", "114",
               "--params", BURSA], 4),
}


def convert_points(tool, points):
    """coordconv-cli on a point file: drawing X, Y, Z -> X', Y' (X easting = y)."""
    args, columns = CONVERSIONS[tool]
    lines = "".join(f"P{i},{p[1]!r},{p[0]!r},{p[2]!r}\r\n" if columns == 4 else f"P{i},{p[1]!r},{p[0]!r}\r\n"
                    for i, p in enumerate(points))
    out = run(args, lines.encode()).stdout.decode().split("\r\n")
    result = []
    for line in out[: len(points)]:
        cells = line.split(",")
        result.append((float(cells[2]), float(cells[1])))
    return result


def pairs(path):
    with open(path, "rb") as f:
        lines = f.read().split(b"\n")
    return [(int(lines[i].strip()), lines[i + 1]) for i in range(0, len(lines) - 1, 2) if lines[i].strip()]


# Codes that may hold converted geometry (points, vectors, lengths, angles)
# and the pairs the converter may add (rotation, scales, the MTEXT direction).
GEOMETRY = set(range(10, 19)) | set(range(20, 29)) | {31} | set(range(40, 54)) | {211, 212, 213, 221, 222, 223}


def wcs_points(entity):
    """The points of an entity in world coordinates, with names."""
    t = entity.dxftype()
    points = []
    ocs = entity.ocs() if entity.dxf.hasattr("extrusion") else None
    to_wcs = (lambda p: ocs.to_wcs(Vec3(p))) if ocs else (lambda p: Vec3(p))
    if t in ("POINT",):
        points.append(("location", Vec3(entity.dxf.location)))
    elif t == "LINE":
        points += [("start", Vec3(entity.dxf.start)), ("end", Vec3(entity.dxf.end))]
    elif t in ("XLINE", "RAY"):
        points.append(("start", Vec3(entity.dxf.start)))
    elif t == "LWPOLYLINE":
        for i, p in enumerate(entity.vertices_in_wcs()):
            points.append((f"v{i}", Vec3(p)))
    elif t == "POLYLINE":
        for i, v in enumerate(entity.vertices):
            if entity.is_poly_face_mesh and v.is_face_record:
                continue
            p = Vec3(v.dxf.location)
            points.append((f"v{i}", to_wcs(p) if entity.is_2d_polyline else p))
    elif t in ("SOLID", "TRACE", "3DFACE"):
        for i, name in enumerate(("vtx0", "vtx1", "vtx2", "vtx3")):
            if entity.dxf.hasattr(name):
                p = Vec3(entity.dxf.get(name))
                points.append((name, to_wcs(p) if t != "3DFACE" else p))
    elif t == "ARC":
        points += [("start_point", Vec3(entity.start_point)), ("end_point", Vec3(entity.end_point))]
    elif t == "ELLIPSE":
        points.append(("center", Vec3(entity.dxf.center)))
    elif t == "SPLINE":
        points += [(f"c{i}", Vec3(p)) for i, p in enumerate(entity.control_points)]
        points += [(f"f{i}", Vec3(p)) for i, p in enumerate(entity.fit_points)]
    elif t in ("TEXT", "ATTRIB", "ATTDEF"):
        points.append(("insert", to_wcs(entity.dxf.insert)))
    elif t in ("MTEXT", "IMAGE", "WIPEOUT"):
        points.append(("insert", Vec3(entity.dxf.insert)))
    elif t == "INSERT":
        points.append(("insert", to_wcs(entity.dxf.insert)))
    elif t == "DIMENSION":
        for name in ("defpoint", "defpoint2", "defpoint3"):
            if entity.dxf.hasattr(name):
                points.append((name, Vec3(entity.dxf.get(name))))
    elif t == "LEADER":
        points += [(f"v{i}", Vec3(p)) for i, p in enumerate(entity.vertices)]
    elif t == "HATCH":
        for j, path in enumerate(entity.paths):
            if hasattr(path, "vertices"):
                points += [(f"p{j}v{i}", to_wcs((v[0], v[1], entity.dxf.elevation.z))) for i, v in enumerate(path.vertices)]
            else:
                for i, edge in enumerate(path.edges):
                    if edge.type == ezdxf.entities.boundary_paths.EdgeType.LINE:
                        points += [(f"p{j}e{i}s", to_wcs((edge.start[0], edge.start[1], entity.dxf.elevation.z))),
                                   (f"p{j}e{i}e", to_wcs((edge.end[0], edge.end[1], entity.dxf.elevation.z)))]
                    if edge.type == ezdxf.entities.boundary_paths.EdgeType.ARC:
                        for k, a in enumerate((edge.start_angle, edge.end_angle)):
                            r = math.radians(a)
                            p = (edge.center[0] + edge.radius * math.cos(r), edge.center[1] + edge.radius * math.sin(r),
                                 entity.dxf.elevation.z)
                            points.append((f"p{j}e{i}a{k}", to_wcs(p)))
        points += [(f"seed{i}", to_wcs((p[0], p[1], entity.dxf.elevation.z))) for i, p in enumerate(entity.seeds)]
    return points


def local_similarity(tool, anchor):
    """Rotation (radians, counter-clockwise in the drawing) and scale at an
    anchor, from the point conversion of the anchor +-100 m east and north."""
    d = 100.0
    ax, ay, az = anchor
    pts = convert_points(tool, [(ax + d, ay, az), (ax - d, ay, az), (ax, ay + d, az), (ax, ay - d, az)])
    ex = ((pts[0][0] - pts[1][0]) / (2 * d), (pts[0][1] - pts[1][1]) / (2 * d))
    ny = ((pts[2][0] - pts[3][0]) / (2 * d), (pts[2][1] - pts[3][1]) / (2 * d))
    a = (ex[0] + ny[1]) / 2
    b = (ex[1] - ny[0]) / 2
    return math.atan2(b, a), math.hypot(a, b)


def angle_difference(a, b):
    return abs((a - b + 180) % 360 - 180)


def check_conversion(name, source, target, tool):
    doc_in = ezdxf.readfile(source)
    doc_out = ezdxf.readfile(target)
    auditor = doc_out.audit()
    check(not auditor.has_errors, f"{name}: audit errors {[str(e.message) for e in auditor.errors]}")

    # Entities of model space and of the dimension blocks, paired by handle.
    def entities(doc):
        found = {}
        for e in doc.modelspace():
            found[e.dxf.handle] = e
            if e.dxftype() == "INSERT":
                for a in e.attribs:
                    found[a.dxf.handle] = a
        # The blocks of model space dimensions (those of paper space stay).
        model_dimensions = {e.dxf.geometry for e in doc.modelspace() if e.dxftype() == "DIMENSION"}
        for block in doc.blocks:
            if block.name in model_dimensions:
                for e in block:
                    found[e.dxf.handle] = e
        return found

    before, after = entities(doc_in), entities(doc_out)
    left = {"3DSOLID"}
    queue = []  # (label, source point, converted point)
    for handle, e in before.items():
        if e.dxftype() in left or (e.dxf.hasattr("extrusion") and abs(Vec3(e.dxf.extrusion).z) != 1):
            continue
        converted = dict(wcs_points(after[handle]))
        for label, p in wcs_points(e):
            queue.append((f"{e.dxftype()} {handle} {label}", p, converted[label]))
    expected = convert_points(tool, [tuple(p) for _, p, _ in queue])
    # 0.1 mm, and the rounding of the point file's 4 decimals.
    tolerance = 1e-4 + math.hypot(0.5e-4, 0.5e-4)
    for (label, p, q), (ex, ey) in zip(queue, expected):
        check(math.hypot(q.x - ex, q.y - ey) < tolerance,
              f"{name}: {label} at {q.x:.4f},{q.y:.4f} not {ex:.4f},{ey:.4f}")
        check(abs(q.z - p.z) < 1e-9, f"{name}: {label} z changed")
    check(len(queue) > 8, f"{name}: only {len(queue)} points compared")

    # Circles and arcs: points along them, converted as points, lie on the
    # converted circle within 1 mm.
    samples = []
    for handle, e in before.items():
        if e.dxftype() not in ("CIRCLE", "ARC") or abs(Vec3(e.dxf.extrusion).z) != 1:
            continue
        f = after[handle]
        centre = f.ocs().to_wcs(f.dxf.center)
        span = 360.0 if e.dxftype() == "CIRCLE" else (e.dxf.end_angle - e.dxf.start_angle) % 360
        start = 0.0 if e.dxftype() == "CIRCLE" else e.dxf.start_angle
        for p in e.vertices([start + span * k / 12 for k in range(13)]):
            samples.append((handle, Vec3(p), centre, f.dxf.radius))
    exact = convert_points(tool, [tuple(p) for _, p, _, _ in samples])
    for (handle, p, centre, radius), (ex, ey) in zip(samples, exact):
        gap = abs(math.hypot(ex - centre.x, ey - centre.y) - radius)
        check(gap < 1e-3 + 1e-4, f"{name}: circle or arc {handle} {gap * 1000:.3f} mm off its converted points")

    # Angles and sizes against the local similarity.
    compared = 0
    for handle, e in before.items():
        t = e.dxftype()
        if t not in ("TEXT", "INSERT", "MTEXT", "ATTRIB") or (e.dxf.hasattr("extrusion") and Vec3(e.dxf.extrusion).z != 1):
            continue
        f = after[handle]
        rotation, scale = local_similarity(tool, tuple(wcs_points(e)[0][1]))
        if t in ("TEXT", "ATTRIB"):
            check(angle_difference(f.dxf.rotation, e.dxf.rotation + math.degrees(rotation)) < 5e-5,
                  f"{name}: {t} {handle} rotation {f.dxf.rotation} not {e.dxf.rotation + math.degrees(rotation)}")
            check(abs(f.dxf.height / e.dxf.height - scale) < 1e-6, f"{name}: {t} {handle} height")
        if t == "INSERT":
            check(angle_difference(f.dxf.rotation, e.dxf.rotation + math.degrees(rotation)) < 5e-5,
                  f"{name}: INSERT {handle} rotation")
            check(abs(f.dxf.xscale / e.dxf.xscale - scale) < 1e-6, f"{name}: INSERT {handle} scale")
        if t == "MTEXT":
            check(angle_difference(f.get_rotation(), e.get_rotation() + math.degrees(rotation)) < 5e-5,
                  f"{name}: MTEXT {handle} direction {f.get_rotation()} not {e.get_rotation() + math.degrees(rotation)}")
            check(abs(f.dxf.char_height / e.dxf.char_height - scale) < 1e-6, f"{name}: MTEXT {handle} height")
        compared += 1
    check(compared >= 3 or name.startswith("arcs"), f"{name}: only {compared} texts and inserts compared")
    print(f"{name}: {len(queue)} points, {len(samples)} points on circles, {compared} angles and sizes")

    # Every pair without geometry, byte for byte and in order.
    plain_in = [p for p in pairs(source) if p[0] not in GEOMETRY]
    plain_out = [p for p in pairs(target) if p[0] not in GEOMETRY]
    check(plain_in == plain_out, f"{name}: pairs without geometry differ")

    # The blocks of paper space dimensions: unchanged.
    for layout in doc_in.layouts:
        if layout.name == "Model":
            continue
        for e in layout:
            if e.dxftype() == "DIMENSION":
                block_in = doc_in.blocks.get(e.dxf.geometry)
                block_out = doc_out.blocks.get(e.dxf.geometry)
                for x, y in zip(block_in, block_out):
                    check(x.dxfattribs() == y.dxfattribs(), f"{name}: paper space dimension block {e.dxf.geometry} changed")

    # Paper space: unchanged but for the viewport's model-space view centre.
    for layout in doc_in.layouts:
        if layout.name == "Model":
            continue
        converted = {e.dxf.handle: e for e in doc_out.layouts.get(layout.name)}
        for e in layout:
            f = converted[e.dxf.handle]
            if e.dxftype() == "VIEWPORT":
                if e.dxf.id == 1 or not e.dxf.hasattr("view_center_point"):
                    continue
                c = Vec3(e.dxf.view_center_point)
                ex, ey = convert_points(tool, [(c.x, c.y, 0)])[0]
                check(math.hypot(f.dxf.view_center_point.x - ex, f.dxf.view_center_point.y - ey) < 1e-4,
                      f"{name}: viewport centre")
                continue
            check(e.dxfattribs() == f.dxfattribs(), f"{name}: paper space {e.dxftype()} {e.dxf.handle} changed")


def main():
    os.makedirs(WORK, exist_ok=True)
    with open(BURSA, "w") as f:
        f.write("-12.5\r\n85.2\r\n40.7\r\n0.8\r\n-1.2\r\n2.1\r\n3.5e-6\r\n")
    with open(ZERO, "w") as f:
        f.write("0\r\n0\r\n0\r\n0\r\n0\r\n")
    names = make_drawings.main_into(WORK)
    for name in names:
        source = os.path.join(WORK, name + ".dxf")
        identity = os.path.join(WORK, name + ".identity.dxf")
        run(["plane-four", "convert", "--params", ZERO, "-i", source, "-o", identity])
        with open(source, "rb") as a, open(identity, "rb") as b:
            check(a.read() == b.read(), f"{name}: the identity changed the file")
        for tool, (args, _) in CONVERSIONS.items():
            target = os.path.join(WORK, f"{name}.{tool}.dxf")
            summary = os.path.join(WORK, f"{name}.{tool}.json")
            run(args + ["-i", source, "-o", target, "--summary", summary])
            check_conversion(f"{name} {tool}", source, target, tool)
            with open(summary) as f:
                report = json.load(f)
            check(report["largest_arc_deviation_mm"] < 1, f"{name} {tool}: arc deviation {report['largest_arc_deviation_mm']} mm")
            if name != "r12_gbk":
                check({e["type"] for e in report["left"]} == {"CIRCLE", "3DSOLID"}, f"{name} {tool}: left {report['left']}")

    # Arcs of 1 km across a 3° zone change, at the south and north of China,
    # from the old central meridian to 1.5° east of it.
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    for northing in (2300000.0, 3900000.0, 5800000.0):
        for easting in (500000.0, 600000.0, 640000.0):
            msp.add_circle((easting, northing), 1000)
            msp.add_arc((easting + 3000, northing), 1000, 10, 250)
    arcs = os.path.join(WORK, "arcs.dxf")
    doc.saveas(arcs)
    summary = os.path.join(WORK, "arcs.json")
    run(["zone-change", "--cm", "114", "--cm2", "117", "-i", arcs, "-o", os.path.join(WORK, "arcs.zone.dxf"),
         "--summary", summary])
    with open(summary) as f:
        report = json.load(f)
    check(report["arcs"] == 18, f"arcs: {report['arcs']} measured")
    check(report["largest_arc_deviation_mm"] < 1, f"arcs: deviation {report['largest_arc_deviation_mm']} mm")
    check_conversion("arcs zone", arcs, os.path.join(WORK, "arcs.zone.dxf"), "zone")

    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
