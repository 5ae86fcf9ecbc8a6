#!/usr/bin/python3
"""Spreadsheets for the point-table tests, made and read by GDAL's Python
bindings (python3-gdal), independently of the program.

  spreadsheets.py make DIR   points.xlsx and points.ods (a header row, then
                             number cells as GDAL writes them: %.16g in
                             .xlsx, the 16-decimal expansion in .ods) and
                             points.txt, the same points as a GBK text file
  spreadsheets.py dump FILE  every row of the first sheet, GDAL reading the
                             header and the column types itself: the header
                             names, then per row its cells joined by '|',
                             a number as 'n:' + repr(float), a text as
                             's:' + text, an empty cell as '-'
Exit status 77 when the bindings are missing.
"""
import sys

try:
    from osgeo import gdal, ogr
except ImportError:
    sys.exit(77)

gdal.UseExceptions()

TITLES = ["点号", "纬度B(dms)", "经度L(dms)"]
# Many decimals, a value whose binary expansion shows at 16 digits (31.1),
# whole degrees, Chinese names.
POINTS = [
    ("P1", 30.30151234567, 114.20301234567),
    ("张家湾", 31.1, 115.5),
    ("Q3", 29.595999990001, 116.0),
    ("北站2", 32.0, 113.54591234),
]
TEXT_LINES = [
    "P1,30.30151234567,114.20301234567",
    "张家湾,31.1,115.5",
    "Q3,29.595999990001,116",
    "北站2,32,113.54591234",
]


def make(folder):
    for driver, name in (("XLSX", "points.xlsx"), ("ODS", "points.ods")):
        dataset = ogr.GetDriverByName(driver).CreateDataSource(folder + "/" + name)
        layer = dataset.CreateLayer("点")
        layer.CreateField(ogr.FieldDefn(TITLES[0], ogr.OFTString))
        for title in TITLES[1:]:
            layer.CreateField(ogr.FieldDefn(title, ogr.OFTReal))
        for point in POINTS:
            feature = ogr.Feature(layer.GetLayerDefn())
            for i, value in enumerate(point):
                feature.SetField(i, value)
            layer.CreateFeature(feature)
        dataset = None
    with open(folder + "/points.txt", "wb") as text:
        text.write("".join(line + "\r\n" for line in TEXT_LINES).encode("gbk"))


def dump(path):
    dataset = gdal.OpenEx(path, gdal.OF_VECTOR)
    layer = dataset.GetLayer(0)
    definition = layer.GetLayerDefn()
    fields = [definition.GetFieldDefn(i) for i in range(definition.GetFieldCount())]
    print("|".join(field.GetName() for field in fields))
    for feature in layer:
        cells = []
        for i, field in enumerate(fields):
            if not feature.IsFieldSetAndNotNull(i):
                cells.append("-")
            elif field.GetType() in (ogr.OFTReal, ogr.OFTInteger, ogr.OFTInteger64):
                cells.append("n:" + repr(feature.GetFieldAsDouble(i)))
            else:
                cells.append("s:" + feature.GetFieldAsString(i))
        print("|".join(cells))


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2])
    else:
        dump(sys.argv[2])
