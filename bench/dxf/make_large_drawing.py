"""Writes a large ASCII DXF (R12 group codes) for the drawing benchmark:
`count` entities of mixed types (LINE, POLYLINE, CIRCLE, ARC, TEXT, POINT,
INSERT) around (600000, 3320000), X easting and Y northing, with handles
and layers as a CAD program writes them.

    python3 make_large_drawing.py OUT.dxf [count]
"""
import random
import sys


def main():
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000000
    rng = random.Random(7)
    handle = 0x100
    with open(out, "w", newline="\n") as f:
        w = f.write
        w("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n9\n$EXTMIN\n10\n590000\n20\n3310000\n30\n0\n"
          "9\n$EXTMAX\n10\n610000\n20\n3330000\n30\n0\n0\nENDSEC\n")
        w("0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n2\n0\nLAYER\n2\n0\n70\n0\n62\n7\n6\nCONTINUOUS\n"
          "0\nLAYER\n2\nROAD\n70\n0\n62\n1\n6\nCONTINUOUS\n0\nENDTAB\n0\nENDSEC\n")
        w("0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nMARK\n70\n0\n10\n0\n20\n0\n30\n0\n3\nMARK\n"
          "0\nCIRCLE\n8\n0\n10\n0\n20\n0\n30\n0\n40\n1\n0\nENDBLK\n8\n0\n0\nENDSEC\n")
        w("0\nSECTION\n2\nENTITIES\n")
        for i in range(count):
            handle += 1
            x = 590000 + rng.random() * 20000
            y = 3310000 + rng.random() * 20000
            z = rng.random() * 100
            kind = i % 7
            head = f"5\n{handle:X}\n8\nROAD\n"
            if kind == 0:
                w(f"0\nLINE\n{head}10\n{x:.4f}\n20\n{y:.4f}\n30\n{z:.3f}\n"
                  f"11\n{x + 35.2:.4f}\n21\n{y + 12.7:.4f}\n31\n{z:.3f}\n")
            elif kind == 1:
                w(f"0\nPOLYLINE\n{head}66\n1\n10\n0\n20\n0\n30\n{z:.3f}\n70\n0\n")
                for k in range(4):
                    handle += 1
                    w(f"0\nVERTEX\n5\n{handle:X}\n8\nROAD\n10\n{x + 10 * k:.4f}\n20\n{y + 7 * (k % 2):.4f}\n30\n{z:.3f}\n")
                handle += 1
                w(f"0\nSEQEND\n5\n{handle:X}\n8\nROAD\n")
            elif kind == 2:
                w(f"0\nCIRCLE\n{head}10\n{x:.4f}\n20\n{y:.4f}\n30\n{z:.3f}\n40\n{rng.random() * 50:.4f}\n")
            elif kind == 3:
                w(f"0\nARC\n{head}10\n{x:.4f}\n20\n{y:.4f}\n30\n{z:.3f}\n40\n{rng.random() * 50:.4f}\n"
                  f"50\n{rng.random() * 180:.4f}\n51\n{180 + rng.random() * 180:.4f}\n")
            elif kind == 4:
                w(f"0\nTEXT\n{head}10\n{x:.4f}\n20\n{y:.4f}\n30\n{z:.3f}\n40\n2.5\n1\nK{i}\n50\n30\n"
                  f"")
            elif kind == 5:
                w(f"0\nPOINT\n{head}10\n{x:.4f}\n20\n{y:.4f}\n30\n{z:.3f}\n")
            else:
                w(f"0\nINSERT\n{head}2\nMARK\n10\n{x:.4f}\n20\n{y:.4f}\n30\n{z:.3f}\n"
                  f"41\n2\n42\n2\n43\n1\n50\n15\n")
        w("0\nENDSEC\n0\nEOF\n")


if __name__ == "__main__":
    main()
