"""Reads a sheet index drawing back with ezdxf and checks it against its sheet
list and the area it was made for.

    index_drawing_check.py INDEX.dxf INDEX.csv "x1,y1;x2,y2;..."

The area's vertices are plane x (northing), y (easting). For every layer of
the drawing:
  - each closed polyline (a frame) holds one text, its sheet number, and the
    sheet list has that number; each of the list's four corners lies within
    1 mm of a vertex of the frame;
  - no two frames overlap and there is no gap between them: an edge between
    two vertices belongs to one frame or to two frames running it in opposite
    directions, never more; and every sample point of a fine grid over the
    area lies inside exactly one frame;
  - every frame meets the area.
Prints what it found and exits 1 on the first failure.
"""
import csv
import sys

import ezdxf


def inside(point, ring):
    """Even-odd rule: is point (X, Y) inside the ring of (X, Y) vertices?"""
    x, y = point
    result = False
    j = len(ring) - 1
    for i in range(len(ring)):
        xi, yi = ring[i]
        xj, yj = ring[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def crosses(p, q, r, s):
    """Do segments pq and rs cross (each one's ends strictly on both sides of the other)?"""
    def side(a, b, c):
        return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])
    return side(p, q, r) * side(p, q, s) < 0 and side(r, s, p) * side(r, s, q) < 0


def meets(ring, area):
    """Do the two polygons share interior points: a vertex of one inside the
    other, or crossing edges?"""
    if any(inside(p, area) for p in ring) or any(inside(p, ring) for p in area):
        return True
    return any(crosses(ring[i], ring[(i + 1) % len(ring)], area[j], area[(j + 1) % len(area)])
               for i in range(len(ring)) for j in range(len(area)))


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def main():
    drawing_path, list_path, area_text = sys.argv[1:4]
    # Drawing X is the easting y, drawing Y the northing x.
    area = [(float(p.split(",")[1]), float(p.split(",")[0])) for p in area_text.split(";")]

    with open(list_path, encoding="gb18030", newline="") as f:
        rows = list(csv.reader(f))
    corners = {}
    if rows[0][:3] == ["图幅号", "旧图幅号", "比例尺"]:
        # Sheets of the national series: B, L, x, y per corner.
        for row in rows[1:]:
            corners.setdefault(row[0], []).append(
                [(float(row[3 + 4 * k + 3]), float(row[3 + 4 * k + 2])) for k in range(4)])
    elif rows[0][:2] == ["图幅号", "比例尺"]:
        # Rectangular sheets: x, y per corner.
        for row in rows[1:]:
            # A name may recur at another scale: each is checked against its frame.
            corners.setdefault(row[0], []).append(
                [(float(row[2 + 2 * k + 1]), float(row[2 + 2 * k])) for k in range(4)])
    else:
        fail("list title " + repr(rows[0][:3]))

    doc = ezdxf.readfile(drawing_path)
    msp = doc.modelspace()
    layers = sorted({e.dxf.layer for e in msp})
    seen_numbers = set()
    for layer in layers:
        frames = [list((v.dxf.location.x, v.dxf.location.y) for v in e.vertices)
                  for e in msp.query('POLYLINE[layer=="%s"]' % layer)]
        texts = [(e.dxf.text, (e.dxf.align_point.x, e.dxf.align_point.y))
                 for e in msp.query('TEXT[layer=="%s"]' % layer)]
        if not frames or len(frames) != len(texts):
            fail("layer %s: %d frames, %d texts" % (layer, len(frames), len(texts)))
        for polyline in msp.query('POLYLINE[layer=="%s"]' % layer):
            if not polyline.is_closed:
                fail("layer %s: a frame is not closed" % layer)

        # Numbers and corners.
        for ring in frames:
            numbers = [text for text, at in texts if inside(at, ring)]
            if len(numbers) != 1:
                fail("layer %s: a frame holds %d numbers" % (layer, len(numbers)))
            number = numbers[0]
            if number not in corners:
                fail(number + " is not in the list")
            seen_numbers.add(number)
            def distance(corner_set):
                return max(min(((vx - cx) ** 2 + (vy - cy) ** 2) ** 0.5 for vx, vy in ring)
                           for cx, cy in corner_set)
            nearest = min(distance(corner_set) for corner_set in corners[number])
            if nearest > 0.001:
                fail("%s: a corner of the list is %.4f m from the frame" % (number, nearest))

        # Shared edges.
        edges = {}
        for ring in frames:
            for i in range(len(ring)):
                a = tuple(round(c, 4) for c in ring[i])
                b = tuple(round(c, 4) for c in ring[(i + 1) % len(ring)])
                edges[(a, b)] = edges.get((a, b), 0) + 1
        for (a, b), count in edges.items():
            if count > 1:
                fail("layer %s: edge %s-%s runs the same way in %d frames" % (layer, a, b, count))

        # Cover: a grid of sample points over the area, offset from round numbers.
        xs = [p[0] for p in area]
        ys = [p[1] for p in area]
        steps = 120
        samples = 0
        for i in range(steps):
            for j in range(steps):
                point = (min(xs) + (max(xs) - min(xs)) * (i + 0.5137) / steps,
                         min(ys) + (max(ys) - min(ys)) * (j + 0.4729) / steps)
                if not inside(point, area):
                    continue
                samples += 1
                covering = sum(1 for ring in frames if inside(point, ring))
                if covering != 1:
                    fail("layer %s: point %.3f,%.3f lies in %d frames" % (layer, point[1], point[0], covering))

        # Every frame meets the area.
        for ring in frames:
            if not meets(ring, area):
                fail("layer %s: a frame lies outside the area" % layer)
        print("layer %s: %d frames, %d edges, %d sample points each in one frame"
              % (layer, len(frames), len(edges), samples))

    if seen_numbers != set(corners):
        fail("the list has sheets the drawing lacks: %s" % sorted(set(corners) - seen_numbers))
    print("OK")


main()
