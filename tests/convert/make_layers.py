"""Test layers for the GIS layer converter, written with GDAL's Python bindings.

Plane layers lie in a 3° Gauss-Krüger zone on the meridian 114°E (X easting
about 500 km, Y northing about 3376 km); a local layer has site grid
coordinates (0 .. 1000 m); a geodetic layer has longitudes and latitudes in
decimal degrees. Attributes carry Chinese texts, a 5-character Chinese field
name (10 bytes in GBK) and a 7-character one (too long for a .dbf).

    /usr/bin/python3 make_layers.py WORKDIR
"""
import datetime
import os
import sys

from osgeo import gdal, ogr, osr

gdal.UseExceptions()

# Field name -> (type, values of the features in turn).
FIELDS = [
    ("名称", ogr.OFTString),
    ("测量点名称", ogr.OFTString),
    ("宗地面积平方米", ogr.OFTReal),
    ("编号", ogr.OFTInteger),
    ("big", ogr.OFTInteger64),
    ("日期", ogr.OFTDate),
]


def values(i):
    return ["宗地" + "甲乙丙丁戊己庚辛"[i % 8], f"点{i}号·北京", 1234.5 + i / 8, i, 10_000_000_000 + i, (2024, 1 + i % 12, 1 + i)]


def plane(x, y):
    """Layer X, Y of a point at easting offset x, northing offset y (metres)."""
    return 500000.0 + x, 3376500.0 + y


def ring(points, base=plane):
    return "(" + ",".join("%r %r" % base(*p) for p in points) + ")"


def ring_z(points, z, m=None, base=plane):
    return "(" + ",".join("%r %r %r" % (*base(*p), z + k) + ("" if m is None else " %r" % (m + k))
                          for k, p in enumerate(points)) + ")"


SQUARE = [(0, 0), (0, 100), (100, 100), (100, 0), (0, 0)]  # clockwise, as shapefiles keep outer rings
HOLE = [(20, 20), (60, 20), (60, 60), (20, 60), (20, 20)]


def parcels(base=plane):
    shift = lambda d: [(p[0] + d, p[1] + d) for p in SQUARE]  # noqa: E731
    return [
        "POLYGON (" + ring(SQUARE, base) + "," + ring(HOLE, base) + ")",
        "MULTIPOLYGON ((" + ring(shift(300), base) + "),(" + ring(shift(600), base) + "," +
        ring([(p[0] + 600, p[1] + 600) for p in HOLE], base) + "))",
        "POLYGON ZM (" + ring_z(shift(-2000), 50.25, 7, base) + ")",
    ]


def lines(base=plane):
    return [
        "LINESTRING ZM " + ring_z([(0, 0), (250.5, 10), (400, -90.25), (1000, 700)], 12.5, 100, base),
        "MULTILINESTRING (" + ring([(10, 10), (20, 30)], base) + "," + ring([(40, 40), (80, 90), (120, 60)], base) + ")",
        "LINESTRING Z " + ring_z([(-500, 1500), (-480, 1520)], 88, None, base),
    ]


def points(base=plane):
    return [
        "POINT Z (%r %r 45.5)" % base(5, 5),
        "MULTIPOINT (" + ",".join("(%r %r)" % base(*p) for p in [(1, 2), (300, 400), (-250, 800)]) + ")",
        "POINT (%r %r)" % base(999.125, -333.5),
    ]


def curves(base=plane):
    a, b, c = base(0, 0), base(50, 50), base(100, 0)
    return [
        "CIRCULARSTRING (%r %r,%r %r,%r %r)" % (*a, *b, *c),
        "COMPOUNDCURVE Z ((%r %r 1,%r %r 2),CIRCULARSTRING Z (%r %r 2,%r %r 3,%r %r 4))" % (
            *base(-100, 0), *a, *a, *b, *c),
        "CURVEPOLYGON (CIRCULARSTRING (%r %r,%r %r,%r %r),(%r %r,%r %r,%r %r,%r %r))" % (
            *base(0, 0), *base(200, 0), *base(0, 0), *base(50, -20), *base(60, -20), *base(60, 20), *base(50, -20)),
        "MULTICURVE (CIRCULARSTRING (%r %r,%r %r,%r %r),(%r %r,%r %r))" % (*a, *b, *c, *base(5, 5), *base(6, 7)),
        "MULTISURFACE (CURVEPOLYGON (COMPOUNDCURVE (CIRCULARSTRING (%r %r,%r %r,%r %r),(%r %r,%r %r))))" % (
            *a, *b, *c, *c, *a),
        "GEOMETRYCOLLECTION (POINT (%r %r),LINESTRING (%r %r,%r %r))" % (*a, *b, *c),
    ]


def local(x, y):
    return 100.0 + x, 200.0 + y


def geodetic(x, y):
    """Longitude, latitude in decimal degrees of an offset in metres (about)."""
    return 114.2 + x / 96000.0, 30.5 + y / 111000.0


ASCII_NAMES = ["name", "point_name", "area", "number", "big", "day"]


def write(path, driver, layers, srs=None, layer_options=(), encoding=None, fid=None, short_names=False,
          ascii_names=False):
    """layers: [(name, geometry type, [wkt])]. Shapefiles: one layer per file;
    `short_names` leaves out the fields whose names a .dbf cannot hold in
    `encoding`; `ascii_names` names the fields in ASCII (GDAL 3.6 cuts the
    bytes of Chinese MapInfo field names)."""
    ds = ogr.GetDriverByName(driver).CreateDataSource(path)
    for name, gtype, wkts in layers:
        options = list(layer_options)
        if encoding:
            options.append("ENCODING=" + encoding)
        if fid:
            options.append("FID=" + fid)
        layer = ds.CreateLayer(name, srs=srs, geom_type=gtype, options=options)
        code = "gbk" if encoding == "CP936" else "utf-8"
        kept = [k for k, (field, _) in enumerate(FIELDS) if not (short_names and len(field.encode(code)) > 10)]
        for k in kept:
            layer.CreateField(ogr.FieldDefn(ASCII_NAMES[k] if ascii_names else FIELDS[k][0], FIELDS[k][1]))
        defn = layer.GetLayerDefn()
        for i, wkt in enumerate(wkts):
            feature = ogr.Feature(defn)
            for out, k in enumerate(kept):
                v = values(i)[k]
                if isinstance(v, tuple):
                    feature.SetField(out, v[0], v[1], v[2], 0, 0, 0, 0)
                else:
                    feature.SetField(out, v)
            feature.SetGeometry(ogr.CreateGeometryFromWkt(wkt))
            if fid:
                feature.SetFID(10 + 3 * i)
            layer.CreateFeature(feature)
    ds = None


def epsg(code):
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(code)
    srs.SetAxisMappingStrategy(osr.OAMS_TRADITIONAL_GIS_ORDER)
    return srs


# CGCS2000 / 3-degree Gauss-Kruger CM 114E without zone number, and CM 117E.
CGCS2000_CM114 = 4547
CGCS2000_CM117 = 4548
BEIJING54_CM114 = 2435
XIAN80_CM114 = 2383


def make(work):
    os.makedirs(work, exist_ok=True)
    j = lambda name: os.path.join(work, name)  # noqa: E731
    # Shapefile in GBK without .cpg (as old Chinese GIS programs left them).
    write(j("parcels_gbk.shp"), "ESRI Shapefile", [("parcels_gbk", ogr.wkbUnknown, parcels())], encoding="CP936",
          short_names=True)
    os.remove(j("parcels_gbk.cpg"))
    # Shapefile in UTF-8 with its .cpg.
    write(j("lines_utf8.shp"), "ESRI Shapefile", [("lines_utf8", ogr.wkbUnknown, lines())], encoding="UTF-8",
          srs=epsg(CGCS2000_CM114),
          short_names=True)
    # A GeoPackage of every kind, declared CGCS2000 CM 114E, its ids kept.
    write(j("all.gpkg"), "GPKG", [("parcels", ogr.wkbUnknown, parcels()), ("lines", ogr.wkbUnknown, lines()),
                                  ("points", ogr.wkbUnknown, points()), ("curves", ogr.wkbUnknown, curves())],
          srs=epsg(CGCS2000_CM114), fid="gid")
    # The same in Beijing 1954 (the source of a datum change to Xi'an 1980).
    write(j("beijing54.gpkg"), "GPKG", [("parcels", ogr.wkbUnknown, parcels()), ("lines", ogr.wkbUnknown, lines()),
                                        ("points", ogr.wkbUnknown, points()), ("curves", ogr.wkbUnknown, curves())],
          srs=epsg(BEIJING54_CM114), fid="gid")
    # The same layer in a system on another meridian (refused by a CM 114 tool).
    write(j("wrong_meridian.gpkg"), "GPKG", [("parcels", ogr.wkbUnknown, parcels())], srs=epsg(CGCS2000_CM117))
    # The others declare CGCS2000 CM 114E too (a GeoJSON without "crs" would be
    # WGS 84), but MapInfo (whose datum list lacks CGCS2000: GDAL writes WGS 84).
    cm114 = epsg(CGCS2000_CM114)
    write(j("points.geojson"), "GeoJSON", [("points", ogr.wkbUnknown, points())], srs=cm114)
    write(j("lines.gml"), "GML", [("lines", ogr.wkbUnknown, lines())], srs=cm114)
    write(j("parcels.tab"), "MapInfo File", [("parcels", ogr.wkbUnknown, parcels())],
          layer_options=["BOUNDS=0,0,1000000,10000000"], encoding="CP936", ascii_names=True)
    write(j("points.mif"), "MapInfo File", [("points", ogr.wkbUnknown, points())],
          layer_options=["BOUNDS=0,0,1000000,10000000"], encoding="CP936", ascii_names=True)
    write(j("parcels.fgb"), "FlatGeobuf", [("parcels", ogr.wkbMultiPolygon, [
        w if w.startswith("MULTI") else "MULTI" + w.replace("POLYGON ZM (", "POLYGON ZM ((").replace("POLYGON (", "POLYGON ((") + ")"
        for w in parcels()[:2]])], srs=cm114)
    try:
        multi = [ogr.ForceTo(ogr.CreateGeometryFromWkt(w), ogr.wkbMultiLineStringZM).ExportToIsoWkt() for w in lines()]
        write(j("lines.gdb"), "OpenFileGDB", [("lines", ogr.wkbMultiLineStringZM, multi)], srs=cm114)
    except Exception as error:  # GDAL before 3.6 reads the format only
        print("OpenFileGDB not written:", error)
    # Geodetic points (longitude, latitude) in KML, and a local site grid.
    write(j("points_geodetic.kml"), "KML", [("points", ogr.wkbUnknown, points(geodetic))], srs=epsg(4326))
    write(j("site.gpkg"), "GPKG", [("parcels", ogr.wkbUnknown, parcels(local)), ("lines", ogr.wkbUnknown, lines(local))])


if __name__ == "__main__":
    make(sys.argv[1])
