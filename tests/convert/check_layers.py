"""The GIS layer converter checked with GDAL's Python bindings and ogr2ogr.

Writes the test layers (make_layers.py), converts them with coordconv-cli and
reads the results back with GDAL:
  - every format is read (Shapefile with and without .cpg, GeoPackage,
    GeoJSON, GML, MapInfo TAB and MIF, FlatGeobuf, an OpenFileGDB folder,
    KML) and every format is written (.gpkg .shp .geojson .gml .tab .mif .fgb .kml);
  - every converted vertex equals coordconv-cli's conversion of the same
    point in a point file within 0.1 mm, heights too; M and the structure
    (parts, holes, curve types) are kept;
  - the same equals ogr2ogr run with the PROJ pipeline that `coordconv-cli
    ... proj` prints (bursa-wolf, plane-four, polynomial) within 0.1 mm;
  - attributes come back identical, in GBK and UTF-8, a GBK .dbf keeps a
    5-character Chinese field name, cut names are in the summary;
  - the written system is the expected EPSG code; a layer declared in
    another system is refused and --force converts it;
  - a failed conversion leaves no output and no staging folder, and a
    replaced shapefile loses its old .prj when the new one has none.

    /usr/bin/python3 check_layers.py COORDCONV_CLI WORKDIR
"""
import glob
import json
import os
import shutil
import subprocess
import sys

from osgeo import gdal, ogr, osr

gdal.UseExceptions()
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_layers  # noqa: E402

CLI = os.path.abspath(sys.argv[1])
WORK = os.path.abspath(sys.argv[2])
IN = os.path.join(WORK, "in")
OUT = os.path.join(WORK, "out")
TOLERANCE = 1e-4  # metres
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run(args, stdin=None, ok=True):
    result = subprocess.run([CLI] + args, input=stdin, capture_output=True, cwd=WORK)
    if ok and result.returncode != 0:
        raise SystemExit(f"coordconv-cli {' '.join(args)} failed: {result.stderr.decode('utf-8', 'replace')}")
    return result


def i(name):
    return os.path.join(IN, name)


def o(name):
    return os.path.join(OUT, name)


# Parameter files of the fitted tools (made-up values of a realistic size).
def write_lines(path, lines):
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


BURSA = os.path.join(WORK, "bursa.txt")
PLANE_FOUR = os.path.join(WORK, "plane_four.txt")
POLYNOMIAL = os.path.join(WORK, "polynomial.txt")
HEIGHT_FIT = os.path.join(WORK, "height_fit.txt")

# The tools: options for a layer and for a point file; columns of the point
# file (4: name,x,y,H).
TOOLS = {
    "zone": (["zone-change", "--system", "cgcs2000", "--cm", "114", "--cm2", "117"], 3),
    "bursa": (["bursa-wolf", "convert", "--system", "beijing54", "--system2", "xian80", "--cm", "114",
               "--params", BURSA], 4),
    "plane_four": (["plane-four", "convert", "--params", PLANE_FOUR], 4),
    "polynomial": (["polynomial", "convert", "--params", POLYNOMIAL], 4),
    "height_fit": (["height-fit", "convert", "--params", HEIGHT_FIT], 4),
    "gauss_forward": (["gauss-forward", "--system", "wgs84", "--cm", "114"], 3),  # KML is WGS 84
}
PROJ_EXPORTS = {
    "bursa": ["bursa-wolf", "proj", "--system", "beijing54", "--system2", "xian80", "--cm", "114", "--params", BURSA],
    "plane_four": ["plane-four", "proj", "--params", PLANE_FOUR],
    "polynomial": ["polynomial", "proj", "--params", POLYNOMIAL],
}


def dms(degrees):
    """Decimal degrees as the program's ddd.mmss text (seconds to 1e-9)."""
    d = int(degrees)
    minutes = (degrees - d) * 60
    m = int(minutes)
    s = (minutes - m) * 60
    return f"{d}.{m:02d}" + f"{s:013.10f}".replace(".", "")


def convert_points(tool, points):
    """coordconv-cli on a point file: layer (X, Y, Z) -> (X', Y', Z')."""
    args, columns = TOOLS[tool]
    geodetic = tool == "gauss_forward"
    text = ""
    for k, (X, Y, Z) in enumerate(points):
        x, y = (dms(Y), dms(X)) if geodetic else (repr(Y), repr(X))
        text += f"P{k},{x},{y},{Z!r}\r\n" if columns == 4 else f"P{k},{x},{y}\r\n"
    out = run(args, text.encode()).stdout.decode().split("\r\n")
    result = []
    for line in out[: len(points)]:
        cells = line.split(",")
        result.append((float(cells[2]), float(cells[1]), float(cells[3]) if columns == 4 else None))
    return result


def read(path, open_options=()):
    """{layer: [(attributes, geometry)]} in the source's order."""
    ds = gdal.OpenEx(path, gdal.OF_VECTOR, open_options=list(open_options))
    layers = {}
    for index in range(ds.GetLayerCount()):
        layer = ds.GetLayer(index)
        defn = layer.GetLayerDefn()
        names = [defn.GetFieldDefn(k).GetName() for k in range(defn.GetFieldCount())]
        rows = []
        for feature in layer:
            attributes = {n: feature.GetField(n) for n in names}
            geometry = feature.GetGeometryRef()
            rows.append((attributes, geometry.Clone() if geometry else None))
        layers[layer.GetName()] = rows
    return layers


def sequences(geometry):
    """The vertex sequences (points, curves, rings) of a geometry, in order,
    each a list of (X, Y, Z, M)."""
    if geometry is None:
        return []
    name = geometry.GetGeometryName()
    count = geometry.GetGeometryCount()
    if count > 0 and name not in ("LINEARRING",):
        result = []
        for k in range(count):
            result += sequences(geometry.GetGeometryRef(k))
        return result
    return [[(geometry.GetX(k), geometry.GetY(k), geometry.GetZ(k), geometry.GetM(k))
             for k in range(max(geometry.GetPointCount(), 1 if name == "POINT" else 0))]]


def compare_vertices(label, source, result, expected_of, reversible=False, tolerance=TOLERANCE, check_m=True):
    """Each vertex of `result` against the expected conversion of `source`."""
    src, out = sequences(source), sequences(result)
    if not check(len(src) == len(out), f"{label}: {len(src)} parts in the source, {len(out)} written"):
        return
    for s, r in zip(src, out):
        if not check(len(s) == len(r), f"{label}: {len(s)} vertices in the source, {len(r)} written"):
            return
        expected = [expected_of[(p[0], p[1], p[2])] for p in s]
        def agrees(seq):
            return all(abs(e[0] - q[0]) <= tolerance and abs(e[1] - q[1]) <= tolerance and
                       (e[2] is None or not result.Is3D() or abs(e[2] - q[2]) <= tolerance) and
                       (not check_m or not source.IsMeasured() or abs(p[3] - q[3]) == 0)
                       for e, q, p in zip(expected, seq, s))
        if not (agrees(r) or (reversible and agrees(list(reversed(r))))):
            worst = max(max(abs(e[0] - q[0]), abs(e[1] - q[1])) for e, q in zip(expected, r))
            check(False, f"{label}: vertices differ from the point conversion by up to {worst:.6f} m")


def all_vertices(layers):
    return [(p[0], p[1], p[2]) for rows in layers.values() for _, g in rows for seq in sequences(g) for p in seq]


def expected_conversion(tool, layers):
    vertices = sorted(set(all_vertices(layers)))
    return dict(zip(vertices, convert_points(tool, vertices)))


def summary_of(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def convert(tool, source, target, extra=(), ok=True):
    args, _ = TOOLS[tool]
    return run(args + ["-i", source, "-o", target] + list(extra), ok=ok)


def no_staging_left():
    return not [p for p in glob.glob(os.path.join(OUT, "*.??????")) if os.path.isdir(p)]


def check_dataset(tool, source, target, label, attributes=True, reversible=False, open_options=(), expected=None):
    """Converts source into target and compares vertices and attributes."""
    convert(tool, source, target, ["--summary", target + ".json"])
    before = read(source, open_options)
    after = read(target)
    if expected is None:
        expected = expected_conversion(tool, before)
    check(len(before) == len(after), f"{label}: {len(before)} layers in the source, {len(after)} written")
    for (name, rows), (name2, rows2) in zip(before.items(), after.items()):
        if not check(len(rows) == len(rows2), f"{label} {name}: {len(rows)} features, {len(rows2)} written"):
            continue
        for k, ((attrs, geometry), (attrs2, geometry2)) in enumerate(zip(rows, rows2)):
            compare_vertices(f"{label} {name} feature {k}", geometry, geometry2, expected, reversible)
            if attributes:
                check(attrs == attrs2, f"{label} {name} feature {k}: attributes {attrs2} instead of {attrs}")
    return before, after


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(OUT)
    make_layers.make(IN)
    write_lines(BURSA, ["-15.2", "20.1", "10.3", "0.5", "-0.3", "1.2", "0.0000025"])
    write_lines(PLANE_FOUR, ["10.5", "20.25", "1.5", "0.000012", "2.5"])
    write_lines(POLYNOMIAL, ["a0,10.5391472868217", "a1,0.0000021", "a2,-0.000193798449612403",
                             "b0,20.1662790697674", "b1,0.0000011", "b2,0.000190697674418605"])
    write_lines(HEIGHT_FIT, ["a0,1.5", "b0,0.000001", "c0,-0.000002"])
    gbk = ["ENCODING=CP936"]

    # Every input format read once, converted into a GeoPackage that keeps
    # names and types: vertices and attributes against the source.
    inputs = ["parcels_gbk.shp", "lines_utf8.shp", "all.gpkg", "points.geojson", "lines.gml", "parcels.tab",
              "points.mif", "parcels.fgb"]
    if os.path.isdir(i("lines.gdb")):
        inputs.append("lines.gdb")
    else:
        print("note: GDAL could not write an OpenFileGDB folder; its reading is not tested")
    for name in inputs:
        check_dataset("zone", i(name), o("from_" + name.replace(".", "_") + ".gpkg"), name,
                      open_options=gbk if name == "parcels_gbk.shp" else ())
    # A geodetic source (KML longitudes and latitudes) to Gauss-Krüger plane.
    check_dataset("gauss_forward", i("points_geodetic.kml"), o("gauss.gpkg"), "kml gauss-forward",
                  attributes=False)

    # The texts as make_layers wrote them, independently of any reader's code page.
    names = [f for f, _ in make_layers.FIELDS]
    layers = read(o("from_parcels_gbk_shp.gpkg"))
    for k, (attrs, _) in enumerate(layers["parcels_gbk"]):
        check(attrs.get("名称") == make_layers.values(k)[0] and attrs.get("测量点名称") == make_layers.values(k)[1],
              f"GBK shapefile without .cpg: {attrs}")
    # --encoding utf-8 reads the same .dbf otherwise (so the option reaches GDAL) ...
    convert("zone", i("parcels_gbk.shp"), o("gbk_as_utf8.gpkg"), ["--encoding", "utf-8"])
    first = read(o("gbk_as_utf8.gpkg"))["parcels_gbk"][0][0]
    check(first.get("名称") != make_layers.values(0)[0], "--encoding utf-8 did not change how a .dbf without .cpg reads")
    # ... and a .cpg wins over it.
    layers = read(o("from_lines_utf8_shp.gpkg"))
    check(layers["lines_utf8"][0][0].get("名称") == make_layers.values(0)[0], "UTF-8 shapefile with .cpg read wrongly")

    # Every output format from the GeoPackage's plane layers (curves apart).
    source = i("all.gpkg")
    for ext in ["shp", "geojson", "gml", "tab", "mif", "fgb"]:
        target = o("all_out." + ext)
        convert("zone", source, target, ["--summary", o(f"all_out_{ext}.json")], ok=ext != "shp")
    # A shapefile holds one geometry type: the mixed curve layer is refused, nothing written.
    check(not os.path.exists(o("all_out.shp")) and not glob.glob(o("all_out_*.shp")) and no_staging_left(),
          "a refused shapefile left files behind")
    before = read(source)
    expected = expected_conversion("zone", before)
    for ext in ["geojson", "gml", "tab", "mif", "fgb"]:
        # The first layer under the name given, each further one beside it (single-layer formats).
        files = {"parcels": o("all_out." + ext)}
        for layer in ["lines", "points", "curves"]:
            files[layer] = o(f"all_out_{layer}.{ext}") if ext in ("geojson", "tab", "mif", "fgb") else o("all_out." + ext)
        for layer, rows in before.items():
            if ext in ("tab", "mif") and layer in ("points", "curves"):
                continue  # MapInfo writes each part of a multi-point or collection as a feature
            written = read(files[layer])
            rows2 = written.get(layer) or list(written.values())[0]
            if ext == "fgb":  # FlatGeobuf orders features along its spatial index
                rows2 = sorted(rows2, key=lambda row: row[0]["编号"])
            if not check(len(rows) == len(rows2), f"{ext} {layer}: {len(rows2)} features of {len(rows)}"):
                continue
            for k, ((attrs, g), (attrs2, g2)) in enumerate(zip(rows, rows2)):
                if not g.HasCurveGeometry():  # curves: drawn as lines or as GML arcs of their own
                    compare_vertices(f"{ext} {layer} feature {k}", g, g2, expected,
                                     check_m=ext not in ("geojson", "gml", "tab", "mif"))
                if ext in ("geojson", "fgb"):
                    # FlatGeobuf stores dates as date-times.
                    attrs2 = dict(attrs2, 日期=attrs2["日期"][:10])
                    check(attrs == attrs2, f"{ext} {layer} feature {k}: attributes {attrs2} instead of {attrs}")
        print(f"{ext}: summary", summary_of(o(f"all_out_{ext}.json"))["changed_types"])

    # Curves, Z, M, holes and multi-parts through a datum change (heights
    # change) into a GeoPackage: structure and types kept.
    before, after = check_dataset("bursa", i("beijing54.gpkg"), o("bursa.gpkg"), "bursa-wolf gpkg")
    for name in before:
        for k, ((_, g), (_, g2)) in enumerate(zip(before[name], after[name])):
            check(g.GetGeometryType() == g2.GetGeometryType(),
                  f"bursa {name} {k}: {g2.GetGeometryName()} written for {g.GetGeometryName()}")
    ds = gdal.OpenEx(o("bursa.gpkg"))
    parcels_layer = ds.GetLayerByName("parcels")
    fids = [parcels_layer.GetNextFeature().GetFID() for _ in range(parcels_layer.GetFeatureCount())]
    check(fids == [10, 13, 16], f"GeoPackage feature ids {fids} instead of the source's 10, 13, 16")
    # The system written: Xi'an 1980 CM 114E.
    srs = ds.GetLayerByName("parcels").GetSpatialRef()
    check(srs is not None and srs.GetAuthorityCode(None) == str(make_layers.XIAN80_CM114),
          f"bursa-wolf wrote {srs.GetAuthorityCode(None) if srs else None} instead of EPSG:2383")

    # The height fit changes Z only and keeps the layer's own system.
    check_dataset("height_fit", i("beijing54.gpkg"), o("height_fit.gpkg"), "height-fit gpkg")
    ds = gdal.OpenEx(o("height_fit.gpkg"))
    srs = ds.GetLayerByName("lines").GetSpatialRef()
    check(srs is not None and srs.GetAuthorityCode(None) == str(make_layers.BEIJING54_CM114),
          "height-fit did not keep the layer's system")
    ds = None

    # Shapefile output in GBK: a 5-character Chinese field name kept, a
    # longer one cut at a character and named in the summary; UTF-8 cuts more.
    for encoding, cpg, kept, cut in [("gbk", "936", "测量点名称", ("宗地面积平方米", "宗地面积平")),
                                     ("utf-8", "UTF-8", "名称", ("测量点名称", "测量点"))]:
        target = o(f"parcels_{encoding}.shp")
        convert("zone", i("wrong_meridian.gpkg"), target,
                ["--encoding", encoding, "--force", "--summary", o(f"parcels_{encoding}.json")])
        with open(o(f"parcels_{encoding}.cpg")) as f:
            check(f.read().strip() == cpg, f"{encoding} shapefile: .cpg is not {cpg}")
        with open(o(f"parcels_{encoding}.dbf"), "rb") as f:
            header = f.read(32 * 12)
        check(kept.encode("gbk" if encoding == "gbk" else "utf-8") in header, f"{encoding} .dbf lacks the field {kept}")
        truncated = [(t["from"], t["to"]) for t in summary_of(o(f"parcels_{encoding}.json"))["truncated_fields"]]
        check(cut in truncated, f"{encoding} shapefile: {cut} not among the cut names {truncated}")
        written = read(target)["parcels_" + encoding]
        for k, (attrs, _) in enumerate(written):
            check(attrs.get(kept) == make_layers.values(k)[names.index(kept)], f"{encoding} shapefile field {kept}: {attrs}")
            check(attrs.get(cut[1]) == make_layers.values(k)[names.index(cut[0])], f"{encoding} shapefile field {cut[1]}: {attrs}")

    # The pipelines coordconv-cli exports, run by ogr2ogr on the same layers.
    for tool, layer_file in [("bursa", i("beijing54.gpkg")), ("plane_four", i("site.gpkg")), ("polynomial", i("site.gpkg"))]:
        ours = o(f"{tool}_ours.gpkg")
        convert(tool, layer_file, ours)
        pipeline = [line for line in run(PROJ_EXPORTS[tool]).stdout.decode().splitlines() if line.startswith("+proj")][0]
        # As a user passes it: GDAL takes the pipeline's x (north), y (east)
        # from a layer's Y, X itself.
        theirs = o(f"{tool}_ogr2ogr.gpkg")
        subprocess.run(["ogr2ogr", "-f", "GPKG", theirs, layer_file, "-ct", pipeline], check=True, capture_output=True)
        a, b = read(ours), read(theirs)
        for name in a:
            for k, ((_, g), (_, g2)) in enumerate(zip(a[name], b[name])):
                for s1, s2 in zip(sequences(g), sequences(g2)):
                    worst = max([max(abs(p[0] - q[0]), abs(p[1] - q[1]), abs(p[2] - q[2]) if g.Is3D() else 0)
                                 for p, q in zip(s1, s2)] or [0])
                    check(len(s1) == len(s2) and worst <= TOLERANCE,
                          f"{tool} {name} {k}: {worst:.6f} m from ogr2ogr with the exported pipeline")

    # The system written: CGCS2000 3° zone CM 117E (EPSG:4548 by GDAL's own database).
    reference = osr.SpatialReference()
    reference.ImportFromEPSG(4548)
    check("117E" in reference.GetName(), "EPSG:4548 is not CGCS2000 CM 117E in this PROJ database")
    written = gdal.OpenEx(o("from_all_gpkg.gpkg"))
    srs = written.GetLayer(0).GetSpatialRef()
    check(srs is not None and srs.GetAuthorityCode(None) == "4548",
          f"written system {srs.GetAuthorityCode(None) if srs else None} instead of EPSG:4548")
    check(summary_of(o("from_all_gpkg.gpkg.json"))["system_written"] == "EPSG:4548", "summary's system is not EPSG:4548")
    # No system known (a local grid): none written, and the summary says so.
    local = gdal.OpenEx(o("plane_four_ours.gpkg"))
    # (a GeoPackage names a layer without one "Undefined geographic SRS")
    none = local.GetLayer(0).GetSpatialRef()
    check(none is None or none.GetName().startswith("Undefined"), "a local grid got a system")
    local = written = None

    # KML holds WGS 84 longitudes and latitudes: GDAL turns the target into them.
    convert("zone", source, o("all.kml"))
    kml = read(o("all.kml"))
    check([len(rows) for rows in kml.values()] == [len(rows) for rows in before.values()], "KML: features lost")
    to_geographic = osr.CoordinateTransformation(make_layers.epsg(make_layers.CGCS2000_CM114), make_layers.epsg(4490))
    lon, lat, _ = to_geographic.TransformPoint(*make_layers.plane(0, 0))
    corner = kml["parcels"][0][1].GetGeometryRef(0).GetPoint(0)
    check(abs(corner[0] - lon) < 1e-8 and abs(corner[1] - lat) < 1e-8, f"KML corner {corner[:2]} instead of {lon}, {lat}")
    check(kml["parcels"][0][0]["名称"] == make_layers.values(0)[0], "KML attributes")

    # A layer declared on another meridian: refused, nothing written; --force converts.
    target = o("refused.gpkg")
    result = convert("zone", i("wrong_meridian.gpkg"), target, ok=False)
    check(result.returncode != 0 and not os.path.exists(target) and no_staging_left(),
          "a layer on another meridian was converted or left files")
    convert("zone", i("wrong_meridian.gpkg"), target, ["--force", "--summary", o("forced.json")])
    check(os.path.exists(target) and summary_of(o("forced.json"))["refusals"], "--force did not convert and report")
    # A failure half way (site grid coordinates are no Gauss plane points): no output, no staging folder.
    result = convert("zone", i("site.gpkg"), o("failed.gpkg"), ok=False)
    check(result.returncode != 0 and not os.path.exists(o("failed.gpkg")) and no_staging_left(),
          "a failed conversion left files behind")
    # A point file named .tab (tab-separated columns, say) stays a point file.
    with open(o("points.tab"), "wb") as f:
        f.write(b"P1,3376500.1736,500644.4942\r\n")
    args = TOOLS["zone"][0]
    check(run(args + ["-i", o("points.tab")]).stdout == run(args, b"P1,3376500.1736,500644.4942\r\n").stdout,
          "a point file named .tab was not converted as points")
    # A shapefile replaced by one without a system loses its old .prj.
    convert("zone", i("parcels_gbk.shp"), o("replaced.shp"))
    check(os.path.exists(o("replaced.prj")), "no .prj written for a known target system")
    convert("plane_four", i("parcels_gbk.shp"), o("replaced.shp"))
    check(not os.path.exists(o("replaced.prj")), "the old .prj stayed beside a shapefile without a system")


main()
for failure in failures:
    print("FAIL:", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
