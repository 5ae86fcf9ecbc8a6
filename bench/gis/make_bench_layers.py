"""The GIS benchmark's layers: a GeoPackage of points and one of polygons of
50 vertices (small circles of 20-80 m radius), both in Beijing 1954 /
3-degree Gauss-Kruger CM 117E (EPSG:2436), spread over 2 x 2 degrees around
the meridian, with an integer id, a GBK-free text name and a double field.
The Python bindings write them in transactions of 100,000 features.

    make_bench_layers.py OUT_FOLDER POINTS POLYGONS
"""
import math
import random
import sys

from osgeo import ogr, osr

ogr.UseExceptions()
osr.UseExceptions()


def make(path, name, geometry_type, count, geometry_of):
    driver = ogr.GetDriverByName("GPKG")
    dataset = driver.CreateDataSource(path)
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(2436)
    layer = dataset.CreateLayer(name, srs, geometry_type, ["SPATIAL_INDEX=NO"])
    layer.CreateField(ogr.FieldDefn("id", ogr.OFTInteger))
    layer.CreateField(ogr.FieldDefn("name", ogr.OFTString))
    layer.CreateField(ogr.FieldDefn("area", ogr.OFTReal))
    definition = layer.GetLayerDefn()
    random.seed(2026)
    layer.StartTransaction()
    for i in range(count):
        feature = ogr.Feature(definition)
        feature.SetField(0, i)
        feature.SetField(1, "P%07d" % i)
        feature.SetField(2, i * 0.25)
        # Northing 3.2-3.6e6 m (29-32.5 N), easting within 100 km of the meridian.
        x = random.uniform(3200000, 3600000)
        y = random.uniform(400000, 600000)
        feature.SetGeometryDirectly(geometry_of(x, y))
        layer.CreateFeature(feature)
        if i % 100000 == 99999:
            layer.CommitTransaction()
            layer.StartTransaction()
    layer.CommitTransaction()
    dataset = None


def polygon(x, y):
    radius = random.uniform(20, 80)
    ring = ogr.Geometry(ogr.wkbLinearRing)
    for k in range(49):
        angle = 2 * math.pi * k / 49
        ring.AddPoint_2D(y + radius * math.sin(angle), x + radius * math.cos(angle))
    ring.AddPoint_2D(y, x + radius)  # closed: the 50th vertex is the first
    shape = ogr.Geometry(ogr.wkbPolygon)
    shape.AddGeometryDirectly(ring)
    return shape


def main():
    folder, points, polygons = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    make(folder + "/points.gpkg", "points", ogr.wkbPoint, points, lambda x, y: ogr.CreateGeometryFromWkt("POINT (%.4f %.4f)" % (y, x)))
    make(folder + "/polygons.gpkg", "polygons", ogr.wkbPolygon, polygons, polygon)


main()
