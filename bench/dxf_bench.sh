#!/bin/sh
# The drawing benchmark: a DXF of about 100 MB (a million entities of mixed
# types) converted by coordconv-cli (plane four-parameter and zone change),
# by the ezdxf script a Python user would write for the four-parameter
# similarity, and copied pair by pair (the floor). Prints wall and CPU time
# and peak memory of each (coordconv-cli's wall time includes syncing the
# output to the disk before it replaces the target).
#   bench/dxf_bench.sh build/coordconv-cli [entities] [ezdxf entities]
set -eu
CLI=$(realpath "$1")
COUNT=${2:-1000000}
EZDXF_COUNT=${3:-100000}
HERE=$(dirname "$(realpath "$0")")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
c++ -O2 -std=c++20 -o "$WORK/dxf_pairs_copy" "$HERE/dxf/dxf_pairs_copy.cpp"
/usr/bin/python3 "$HERE/dxf/make_large_drawing.py" "$WORK/large.dxf" "$COUNT"
/usr/bin/python3 "$HERE/dxf/make_large_drawing.py" "$WORK/small.dxf" "$EZDXF_COUNT"
printf '10.5\r\n-20.25\r\n1.5\r\n0.000012\r\n0\r\n' > "$WORK/params.txt"
echo "drawing: $(du -m "$WORK/large.dxf" | cut -f1) MB, $COUNT entities"

measure() {  # LABEL COMMAND...: seconds and peak memory
    label=$1; shift
    /usr/bin/time -f "%e %U %S %M" -o "$WORK/time" "$@" 2>/dev/null >/dev/null
    read -r seconds user system kilobytes < "$WORK/time"
    printf '%-42s %7s s wall %7s s CPU %6s MB\n' "$label" "$seconds" \
        "$(echo "$user + $system" | bc)" "$((kilobytes / 1024))"
}
measure "pair copy (floor)" "$WORK/dxf_pairs_copy" "$WORK/large.dxf" "$WORK/copy.dxf"
measure "coordconv-cli plane-four convert" "$CLI" plane-four convert --params "$WORK/params.txt" -i "$WORK/large.dxf" -o "$WORK/four.dxf"
measure "coordconv-cli zone-change 114->117" "$CLI" zone-change --cm 114 --cm2 117 -i "$WORK/large.dxf" -o "$WORK/zone.dxf"
echo "on $EZDXF_COUNT entities ($(du -m "$WORK/small.dxf" | cut -f1) MB):"
measure "  pair copy (floor)" "$WORK/dxf_pairs_copy" "$WORK/small.dxf" "$WORK/copy_small.dxf"
measure "  coordconv-cli plane-four convert" "$CLI" plane-four convert --params "$WORK/params.txt" -i "$WORK/small.dxf" -o "$WORK/four_small.dxf"
measure "  ezdxf script (four-parameter matrix)" /usr/bin/python3 "$HERE/dxf/ezdxf_convert.py" "$WORK/small.dxf" "$WORK/ezdxf_small.dxf" 10.5 -20.25 1.5 0.000012
