"""Compares the vertices of two GeoPackages written from the same layer, by
the id field, on every STEP-th feature: prints the largest difference in X
and Y (metres) and the features compared, and exits 1 beyond TOLERANCE.

    compare_layers.py A.gpkg B.gpkg STEP TOLERANCE [any-system]

With any-system the systems the two declare are not compared.
"""
import sys

from osgeo import ogr

ogr.UseExceptions()


def vertices(geometry, out):
    if geometry.GetGeometryCount() > 0:
        for i in range(geometry.GetGeometryCount()):
            vertices(geometry.GetGeometryRef(i), out)
    else:
        out.extend(geometry.GetPoints() or [])
    return out


def sampled(path, step):
    dataset = ogr.Open(path)
    layer = dataset.GetLayer(0)
    layer.SetAttributeFilter("id %% %d = 0" % step)
    features = {f.GetField("id"): vertices(f.GetGeometryRef(), []) for f in layer}
    return features, layer.GetSpatialRef()


def main():
    a_path, b_path, step, tolerance = sys.argv[1], sys.argv[2], int(sys.argv[3]), float(sys.argv[4])
    a, a_srs = sampled(a_path, step)
    b, b_srs = sampled(b_path, step)
    if a.keys() != b.keys() or not a:
        sys.exit("the sampled ids differ: %d against %d features" % (len(a), len(b)))
    worst = 0.0
    for fid, points in a.items():
        other = b[fid]
        if len(points) != len(other):
            sys.exit("feature %d: %d vertices against %d" % (fid, len(points), len(other)))
        for p, q in zip(points, other):
            worst = max(worst, abs(p[0] - q[0]), abs(p[1] - q[1]))
    any_system = len(sys.argv) > 5 and sys.argv[5] == "any-system"
    same_system = any_system or (a_srs is not None and b_srs is not None and bool(a_srs.IsSame(b_srs)))
    print("%d features compared, largest difference %.6f m, same system: %s (%s)" %
          (len(a), worst, same_system, a_srs.GetAuthorityCode(None) if a_srs else None))
    sys.exit(0 if worst <= tolerance and same_system else 1)


main()
