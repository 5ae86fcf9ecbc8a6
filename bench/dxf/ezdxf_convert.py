"""What a Python user writes for the benchmark's conversion: ezdxf reads the
drawing, moves every model-space entity by the plane four-parameter
similarity (as a 4x4 matrix), and saves it.

    /usr/bin/python3 ezdxf_convert.py IN.dxf OUT.dxf dx dy rotation_seconds scale_change
"""
import math
import sys

import ezdxf
from ezdxf.math import Matrix44


def main():
    source, target = sys.argv[1], sys.argv[2]
    dx, dy, seconds, m = (float(v) for v in sys.argv[3:7])
    rotation = math.radians(seconds / 3600)
    # The program's x (north) is the drawing's Y, its y (east) the drawing's X:
    # x' = dx + k (cos R x - sin R y), y' = dy + k (sin R x + cos R y) turns
    # the drawing by -R.
    k = 1 + m
    matrix = Matrix44.chain(Matrix44.scale(k, k, 1), Matrix44.z_rotate(-rotation), Matrix44.translate(dy, dx, 0))
    doc = ezdxf.readfile(source)
    for entity in doc.modelspace():
        entity.transform(matrix)
    doc.saveas(target)


if __name__ == "__main__":
    main()
