#!/bin/sh
# The GIS layer benchmark: a GeoPackage of a million points and one of
# 100,000 polygons of 50 vertices (Beijing 1954 3° Gauss-Krüger 117°E, id,
# name and a double per feature) converted to CGCS2000 by coordconv-cli
# (Bursa-Wolf, and the plane four-parameter model) and by ogr2ogr with the
# PROJ pipeline that `coordconv-cli ... proj` prints (-ct), side by side on
# the same files; a plain ogr2ogr copy is the floor (reading and writing the
# GeoPackage, no transformation). Prints wall and CPU seconds, peak memory
# and the ratio ogr2ogr CPU / coordconv-cli CPU (at least 1: no slower),
# then checks that both outputs agree within 0.1 mm on every 997th feature
# and carry the same system (EPSG:4548).
#   bench/gis_bench.sh build/coordconv-cli [points] [polygons]
set -eu
CLI=$(realpath "$1")
POINTS=${2:-1000000}
POLYGONS=${3:-100000}
HERE=$(dirname "$(realpath "$0")")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
/usr/bin/python3 "$HERE/gis/make_bench_layers.py" "$WORK" "$POINTS" "$POLYGONS"
# Bursa-Wolf Beijing 1954 -> CGCS2000 (program's frame, 117°E) and a plane
# four-parameter set, as "导入参数" reads them.
printf '12.5\r\n-110.25\r\n-80.75\r\n0.35\r\n-0.42\r\n1.15\r\n0.0000032\r\n' > "$WORK/bursa.txt"
printf '10.5\r\n-20.25\r\n1.5\r\n0.000012\r\n0\r\n' > "$WORK/four.txt"
BURSA="--system beijing54 --system2 cgcs2000 --cm 117 --params $WORK/bursa.txt"
FOUR="--params $WORK/four.txt"
pipeline() {  # TOOL ARGS...: the last line of `coordconv-cli TOOL proj ARGS`
    tool=$1; shift
    line=$("$CLI" "$tool" proj "$@" | tail -n 1)
    case $line in +proj=pipeline*) echo "$line" ;; *) echo "no pipeline from $tool proj" >&2; exit 1 ;; esac
}
# shellcheck disable=SC2086
BURSA_PIPELINE=$(pipeline bursa-wolf $BURSA)
# shellcheck disable=SC2086
FOUR_PIPELINE=$(pipeline plane-four $FOUR)
echo "points: $POINTS ($(du -m "$WORK/points.gpkg" | cut -f1) MB), polygons: $POLYGONS x 50 vertices ($(du -m "$WORK/polygons.gpkg" | cut -f1) MB)"

CPU=0
measure() {  # LABEL COMMAND...: seconds and peak memory; CPU seconds in $CPU
    label=$1; shift
    /usr/bin/time -f "%e %U %S %M" -o "$WORK/time" "$@" >/dev/null 2>"$WORK/stderr" || { cat "$WORK/stderr"; exit 1; }
    read -r seconds user system kilobytes < "$WORK/time"
    CPU=$(echo "$user + $system" | bc | sed "s/^\./0./")
    printf '%-44s %7s s wall %7s s CPU %6s MB' "$label" "$seconds" "$CPU" "$((kilobytes / 1024))"
}
ratio() {  # OGR_CPU CLI_CPU
    printf '   ratio %.2f\n' "$(echo "scale=4; $1 / $2" | bc)"
}

for layer in points polygons; do
    echo "$layer:"
    measure "  ogr2ogr copy (floor)" ogr2ogr "$WORK/copy_$layer.gpkg" "$WORK/$layer.gpkg"; echo
    for tool in bursa four; do
        if [ $tool = bursa ]; then
            name=bursa-wolf; args=$BURSA; pipeline=$BURSA_PIPELINE; target=EPSG:4548
        else
            name=plane-four; args=$FOUR; pipeline=$FOUR_PIPELINE; target=EPSG:2436
        fi
        # shellcheck disable=SC2086
        measure "  coordconv-cli $name convert" "$CLI" $name convert $args -i "$WORK/$layer.gpkg" -o "$WORK/cli_${tool}_$layer.gpkg"
        cli_cpu=$CPU; echo
        measure "  ogr2ogr -ct <$name pipeline>" ogr2ogr -ct "$pipeline" -t_srs $target "$WORK/ogr_${tool}_$layer.gpkg" "$WORK/$layer.gpkg"
        ratio "$CPU" "$cli_cpu"
    done
done
echo "agreement (every 997th feature, 0.1 mm; the plane four-parameter output carries no system):"
for layer in points polygons; do
    printf '  %s bursa-wolf: ' $layer
    /usr/bin/python3 "$HERE/gis/compare_layers.py" "$WORK/cli_bursa_$layer.gpkg" "$WORK/ogr_bursa_$layer.gpkg" 997 0.0001
    printf '  %s plane-four: ' $layer
    /usr/bin/python3 "$HERE/gis/compare_layers.py" "$WORK/cli_four_$layer.gpkg" "$WORK/ogr_four_$layer.gpkg" 997 0.0001 any-system
done
