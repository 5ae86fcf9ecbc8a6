"""Writes the test drawings of the DXF converter with ezdxf (an independent
DXF writer): every converted entity type in model space, Chinese layer names
and texts, mirrored entities (extrusion 0,0,-1), a block inserted rotated and
scaled with attributes, a rendered dimension (its *D block), a hatch with
polyline, line and arc edges and a seed point, a paper-space layout with a
viewport, and entities the converter must leave (a tilted circle, a 3DSOLID).
The drawing lies in the 114° zone near 30° N, X = easting, Y = northing.

    /usr/bin/python3 make_drawings.py OUTDIR
"""
import math
import sys

import ezdxf
from ezdxf.math import Vec3

E0, N0 = 600000.0, 3320000.0  # easting, northing of the site (about 115° E, 30° N)


def P(dx, dy, z=0.0):
    return (E0 + dx, N0 + dy, z)


def build(version, codepage):
    doc = ezdxf.new(version, setup=True)
    if codepage:
        doc.header["$DWGCODEPAGE"] = codepage
        doc.encoding = "cp936"  # ezdxf writes the header's code page from its encoding
    doc.layers.add("道路", color=1)
    doc.layers.add("建筑物", color=3)
    doc.header["$INSBASE"] = P(0, 0)
    doc.header["$EXTMIN"] = P(-2000, -2000)
    doc.header["$EXTMAX"] = P(2000, 2000)
    doc.header["$LIMMIN"] = (E0 - 3000, N0 - 3000)
    doc.header["$LIMMAX"] = (E0 + 3000, N0 + 3000)
    modern = version != "R12"

    # A block in its own coordinates, with an attribute definition.
    block = doc.blocks.new("标志")
    block.add_line((0, 0), (5, 0))
    block.add_circle((0, 0), 2)
    block.add_attdef("编号", (0, 3), dxfattribs={"height": 1.5, "prompt": "点号"})

    msp = doc.modelspace()
    road = {"layer": "道路"}
    house = {"layer": "建筑物"}
    msp.add_point(P(10, 20, 35.5), dxfattribs=road)
    msp.add_line(P(0, 0, 12), P(250, 130, 14), dxfattribs=road)
    msp.add_circle(P(100, 100, 8), 25, dxfattribs=house)
    msp.add_arc(P(-300, 200, 5), 180, 15, 160, dxfattribs=house)
    msp.add_arc(P(400, -500, 0), 1000, 200, 340)  # 1 km radius
    # Mirrored: object coordinates of the -Z normal, x = -X.
    msp.add_arc((-(E0 + 50), N0 - 60, 0), 40, 30, 120, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_circle((-(E0 - 80), N0 + 70, -3), 12, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_solid([P(0, 0), P(10, 0), P(0, 10), P(10, 10)])
    msp.add_trace([P(20, 0), P(30, 0), P(20, 10), P(30, 10)])
    msp.add_3dface([P(0, 0, 1), P(10, 0, 2), P(10, 10, 3), P(0, 10, 4)])
    msp.add_text("控制点 K1", dxfattribs={"height": 2.5, "rotation": 30, "layer": "道路"}).set_placement(P(5, 5))
    msp.add_text("居中文字", dxfattribs={"height": 3.0}).set_placement(
        P(50, 60), align=ezdxf.enums.TextEntityAlignment.MIDDLE_CENTER)
    msp.add_text("无旋转", dxfattribs={"height": 2.0}).set_placement(P(-40, 15))
    msp.add_polyline2d([P(0, 0), P(30, 5), P(60, 0)], dxfattribs={"default_start_width": 0.5, "default_end_width": 0.5})
    msp.add_polyline3d([P(0, 0, 1), P(30, 5, 2), P(60, 0, 3)])
    mesh = msp.add_polymesh((2, 2))
    for m in range(2):
        for n in range(2):
            mesh.set_mesh_vertex((m, n), P(m * 10, n * 10, m + n))
    face = msp.add_polyface()
    face.append_face([P(0, 0), P(10, 0), P(10, 10)])
    insert = msp.add_blockref("标志", P(120, -80, 2), dxfattribs={"xscale": 2, "yscale": 2, "rotation": 35})
    insert.add_attrib("编号", "K7", P(120, -74, 2), dxfattribs={"height": 3, "rotation": 35})
    msp.add_blockref("标志", P(-120, -80))  # default scale and rotation
    msp.add_xline(P(0, 0), (1, 1, 0)) if modern else None
    if modern:
        msp.add_ray(P(5, 5), (0, 1, 0))
        msp.add_lwpolyline([(E0, N0, 0.5, 0.5, 0), (E0 + 40, N0, 0, 0, 0.4), (E0 + 40, N0 + 30)],
                           dxfattribs={"elevation": 7, "const_width": 0.0})
        msp.add_lwpolyline([(-(E0 + 10), N0 + 10), (-(E0 + 50), N0 + 10)], dxfattribs={"extrusion": (0, 0, -1)})
        msp.add_ellipse(P(200, 200, 3), major_axis=(60, 20, 0), ratio=0.5, start_param=0.3, end_param=5.0)
        msp.add_spline([P(0, 0), P(50, 40), P(100, -20), P(150, 10)])
        spline = msp.add_spline_control_frame([P(0, 100), P(60, 140), P(120, 90), P(180, 130)])
        spline.dxf.start_tangent = (1, 0, 0)
        spline.dxf.end_tangent = (0, 1, 0)
        msp.add_mtext("多行文字\\P第二行", dxfattribs={"char_height": 2.5, "width": 40, "insert": P(70, -30),
                                                   "layer": "建筑物"})
        msp.add_mtext("旋转的多行文字", dxfattribs={"char_height": 2.0, "insert": P(75, -40), "text_direction": (0.8, 0.6, 0)})
        hatch = msp.add_hatch(color=2)
        hatch.set_pattern_fill("ANSI31", scale=2.0, angle=15)
        hatch.paths.add_polyline_path([(E0, N0), (E0 + 50, N0), (E0 + 50, N0 + 40), (E0, N0 + 40)], is_closed=True)
        edges = hatch.paths.add_edge_path()
        edges.add_line((E0 + 100, N0), (E0 + 140, N0))
        edges.add_arc((E0 + 140, N0 + 20), 20, -90, 90)
        edges.add_line((E0 + 140, N0 + 40), (E0 + 100, N0 + 40))
        edges.add_arc((E0 + 100, N0 + 20), 20, 90, 270, ccw=False)
        hatch.set_seed_points([(E0 + 10, N0 + 10)])
        solid = msp.add_hatch(color=5)
        solid.paths.add_edge_path().add_ellipse((E0 - 100, N0 - 100), (30, 0), 0.5)
        leader = msp.add_leader([P(0, 0), P(20, 20), P(40, 20)])
        dim = msp.add_linear_dim(base=P(0, -20), p1=P(0, -10), p2=P(80, -10), angle=0, dimstyle="EZDXF")
        dim.render()
        aligned = msp.add_aligned_dim(p1=P(100, -10), p2=P(160, 30), distance=10, dimstyle="EZDXF")
        aligned.render()
        image_def = doc.add_image_def(filename="航拍.jpg", size_in_pixel=(640, 480))
        msp.add_image(image_def, insert=P(-500, -500), size_in_units=(64, 48), rotation=10)
        msp.add_wipeout([P(-600, -600), P(-560, -600), P(-560, -570)])
        # What stays as it was: a circle tilted out of the plane, an ACIS solid.
        msp.add_circle((E0, 0, N0), 5, dxfattribs={"extrusion": (0, 1, 0)})
        msp.add_3dsolid()
    else:
        dim = msp.add_linear_dim(base=P(0, -20), p1=P(0, -10), p2=P(80, -10), angle=0, dimstyle="EZDXF")
        dim.render()

    # Paper space: a title text and a viewport on the site.
    layout = doc.layouts.new("图纸1") if modern else doc.layout("Layout1")
    layout.add_text("图名: 测试图", dxfattribs={"height": 5}).set_placement((20, 20))
    layout.add_line((0, 0), (420, 0))
    layout.add_viewport(center=(200, 150), size=(300, 200), view_center_point=(E0 + 100, N0 + 50), view_height=500)
    if modern:  # a dimension on the sheet: its block holds sheet coordinates and stays
        layout.add_linear_dim(base=(20, 40), p1=(20, 30), p2=(120, 30), dimstyle="EZDXF").render()
    return doc


def main_into(out):
    """Writes the drawings into folder `out`; returns their names."""
    cases = [("R12", "ANSI_936", "r12_gbk"), ("R2000", "ANSI_936", "r2000_gbk"),
             ("R2010", None, "r2010_utf8"), ("R2018", "ANSI_936", "r2018_gbk_header"), ("R2018", None, "r2018_utf8")]
    for version, codepage, name in cases:
        doc = build(version, codepage)
        # Before R2007 texts are in the code page (GBK for ANSI_936), from R2007 on in UTF-8.
        gbk = codepage == "ANSI_936" and version in ("R12", "R2000")
        path = f"{out}/{name}.dxf"
        doc.saveas(path, encoding="cp936" if gbk else None)
        if codepage:  # this ezdxf writes ANSI_1252 whatever the header held
            with open(path, "rb") as f:
                data = f.read()
            with open(path, "wb") as f:
                f.write(data.replace(b"$DWGCODEPAGE\n  3\nANSI_1252", b"$DWGCODEPAGE\n  3\nANSI_936"))
    return [name for _, _, name in cases]


if __name__ == "__main__":
    print(" ".join(main_into(sys.argv[1])))
