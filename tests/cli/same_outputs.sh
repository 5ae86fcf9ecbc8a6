#!/bin/sh
# Runs two builds of coordconv-cli over one batch of inputs (every tool and
# command, several coordinate systems, zones, orders and models, the reports
# as JSON and HTML) and compares what each run leaves byte for byte: standard
# output, standard error, exit status and every file written. For a change
# that must not move a digit, such as new compiler flags.
#
#   same_outputs.sh OLD_CLI NEW_CLI
#
# Prints the number of runs compared and exits 1 on the first difference.
set -u
old_cli=$1
new_cli=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/coordconv-same.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
mkdir "$work/in" "$work/old" "$work/new"
in=$work/in

# Latitudes and longitudes (ddd.mmssss) over China, and around the 117°
# meridian; names with GBK characters and without.
awk 'BEGIN {
    for (i = 0; i < 2000; i++) {
        printf "P%d,%d.%02d%02d%02d,%d.%02d%02d%02d\r\n", i, 18 + i % 36, (i * 7) % 60, (i * 13) % 60, (i * 37) % 100,
               73 + (i * 5) % 62, (i * 11) % 60, (i * 17) % 60, (i * 41) % 100
    }
}' >"$in/wide.txt"
awk 'BEGIN {
    for (i = 0; i < 2000; i++) {
        printf "%s%d,%d.%02d%02d%02d,%d.%02d%02d%02d,%.3f\r\n", (i % 3 == 0 ? "\326\320" : "Q"), i, 20 + i % 30,
               (i * 7) % 60, (i * 13) % 60, (i * 37) % 100, 114 + (i * 5) % 6, (i * 11) % 60, (i * 17) % 60,
               (i * 41) % 100, (i * 29) % 3000 / 7
    }
}' >"$in/local.txt"

# Plane coordinates made by the old build, the same input for both.
"$old_cli" gauss-forward --cm 117 -i "$in/local.txt" -o "$in/plane.txt" || exit 1
"$old_cli" utm-forward --cm 117 -i "$in/local.txt" -o "$in/utm.txt" || exit 1
# Common points: the plane points moved by a small similarity with a few
# centimetres of deterministic noise; heights from the input's fourth field.
awk -F, '{
    x = $2; y = $3; n = NR
    printf "%s,%s,%s,%.3f,%.4f,%.4f,%.3f\r\n", $1, x, y, 40 + n % 97, x * 1.0000031 + 0.0000127 * y - 95.3 + (n * 7919 % 1000) / 40000,
           y * 1.0000031 - 0.0000127 * x + 110.7 + (n * 104729 % 1000) / 40000, 40.5 + n % 97 + (n * 31 % 100) / 1000
}' "$in/plane.txt" | head -n 60 >"$in/cp.txt"
awk -F, '{ printf "%s,%s,%s,%s\r\n", $1, $2, $3, $4 }' "$in/cp.txt" >"$in/points4.txt"
awk -F, '{ printf "%s,%.4f,%.4f,%.3f,%.3f\r\n", $1, $2, $3, 50 + NR % 17, 30 + NR % 17 - ($2 - 3300000) / 50000 + ($3 - 500000) / 80000 + (NR * 13 % 10) / 1000 }' \
    "$in/cp.txt" >"$in/height.txt"
awk -F, '{ printf "%s,%s,%s,%s\r\n", $1, $2, $3, $4 }' "$in/height.txt" >"$in/height4.txt"
# The same points in a second system: a few thousandths of a second (the
# digits after the packed seconds' two decimals) and 2 m apart.
awk -F, 'NR <= 60 { printf "%s,%s,%s,10,%s%d,%s%d,12\r\n", $1, $2, $3, $2, NR % 7, $3, NR % 5 }' "$in/local.txt" >"$in/cp-geodetic.txt"

# One run a line: the arguments, with IN/ for the input folder; outputs named
# OUT/... are compared. Parameter files of convert and proj come from the
# old build's solve, the same for both.
runs=$work/runs
{
    for system in 0 1 2 3; do
        echo "gauss-forward --system $system --cm 117 -i IN/local.txt -o OUT/gf$system.txt"
        echo "gauss-inverse --system $system --cm 117 -i IN/plane.txt -o OUT/gi$system.txt"
        echo "utm-forward --system $system --cm 117 -i IN/local.txt -o OUT/uf$system.txt"
        echo "utm-inverse --system $system --cm 117 -i IN/utm.txt -o OUT/ui$system.txt"
        echo "zone-change --system $system --cm 117 --cm2 120 --yconst2 40500000 -i IN/plane.txt -o OUT/zc$system.txt"
    done
    echo "gauss-forward --cm 105 -i IN/wide.txt -o OUT/gf-wide.txt"
    echo "gauss-forward --cm 117 --yconst 39500000 --encoding utf-8 -i IN/wide.txt"
    echo "utm-forward --cm 105 --xconst 10000000 -i IN/wide.txt -o OUT/uf-wide.txt"
    echo "compensation plane --mean-lat 30.1530 --mean-h 1000 --mean-y 100000"
    echo "compensation axis --mean-lat 30.1530 --plane-h 215"
    echo "compensation convert --cm 117 --a2 6378355.1234 -i IN/plane.txt -o OUT/comp.txt"
    for model in bursa-wolf seven-3d seven-2d four-3d; do
        echo "$model solve --system 2 --system2 0 --cm 117 -i IN/cp.txt -o OUT/$model.par --residuals OUT/$model.res --report OUT/$model.json"
        echo "$model solve --system 2 --system2 0 --cm 117 -i IN/cp.txt --report OUT/$model.html"
        echo "$model solve --form geodetic --form2 geodetic -i IN/cp-geodetic.txt -o OUT/$model-geodetic.par"
        echo "$model convert --system 2 --system2 0 --cm 117 --params IN/$model.par -i IN/points4.txt -o OUT/$model.conv"
    done
    echo "four-3d centre --system 2 --cm 117 -i IN/cp.txt"
    echo "bursa-wolf proj --system 2 --system2 0 --cm 117 --params IN/bursa-wolf.par"
    echo "plane-four solve -i IN/cp.txt -o OUT/pf.par --residuals OUT/pf.res --report OUT/pf.json"
    echo "plane-four solve -i IN/cp.txt --report OUT/pf.html"
    echo "plane-four convert --params IN/pf.par -i IN/points4.txt -o OUT/pf.conv"
    echo "plane-four proj --params IN/pf.par"
    for order in 1 2 3; do
        echo "polynomial solve --order $order -i IN/cp.txt -o OUT/poly$order.par --residuals OUT/poly$order.res --report OUT/poly$order.json"
        echo "polynomial solve --order $order --form ellipsoid -i IN/cp-geodetic.txt -o OUT/polye$order.par"
        echo "polynomial convert --order $order --params IN/poly$order.par --dh 0.5 -i IN/points4.txt -o OUT/poly$order.conv"
        echo "polynomial proj --order $order --params IN/poly$order.par"
    done
    for model in 0 1 2; do
        echo "height-fit solve --model $model -i IN/height.txt -o OUT/hf$model.par --residuals OUT/hf$model.res --report OUT/hf$model.json"
        echo "height-fit convert --model $model --params IN/hf$model.par -i IN/height4.txt -o OUT/hf$model.conv"
    done
    echo "map-sheet --lat 39.56 --lon 116.24"
    echo "map-sheet --lat 30.3015 --lon 114.2233 --output-form old"
    echo "map-sheet --x 3376500.1736 --y 38644006.4942 --zone 3"
    echo "map-sheet --x 3376500.1736 --y 20644006.4942 --zone 6 --system 1"
    echo "map-sheet --sheet J50G002039 --input-form new"
    echo "map-sheet --sheet J-50-5-(24) --output-form old"
    echo "gauss-forward --cm 117 -i IN/missing.txt -o OUT/never.txt"
} >"$runs"

# The parameter files the convert and proj runs read.
for model in bursa-wolf seven-3d seven-2d four-3d; do
    "$old_cli" "$model" solve --system 2 --system2 0 --cm 117 -i "$in/cp.txt" -o "$in/$model.par" 2>/dev/null
done
"$old_cli" plane-four solve -i "$in/cp.txt" -o "$in/pf.par" 2>/dev/null
for order in 1 2 3; do "$old_cli" polynomial solve --order "$order" -i "$in/cp.txt" -o "$in/poly$order.par" 2>/dev/null; done
for model in 0 1 2; do "$old_cli" height-fit solve --model "$model" -i "$in/height.txt" -o "$in/hf$model.par" 2>/dev/null; done

count=0
while read -r line; do
    count=$((count + 1))
    for side in old new; do
        cli=$old_cli
        [ "$side" = new ] && cli=$new_cli
        out=$work/$side/$count
        mkdir "$out"
        # shellcheck disable=SC2086  # the line is split into its words
        set -- $(echo "$line" | sed "s|IN/|$in/|g; s|OUT/|$out/|g")
        "$cli" "$@" >"$out/stdout" 2>"$out/stderr"
        echo "$?" >"$out/status"
        # Messages that name a file name it as the run line does.
        sed -i "s|$out/|OUT/|g; s|$in/|IN/|g" "$out/stderr"
    done
    if ! diff -r "$work/old/$count" "$work/new/$count" >/dev/null; then
        echo "DIFFERENT: $line"
        diff -r "$work/old/$count" "$work/new/$count" | head -20
        exit 1
    fi
done <"$runs"
echo "$count runs, $(find "$work/new" -type f | wc -l) files, $(cat "$work"/new/*/* | wc -c) bytes: the same"
