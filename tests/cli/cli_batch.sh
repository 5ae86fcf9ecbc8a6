#!/bin/sh
# A batch of coordconv-cli runs over every tool and command, with small inputs
# (good points, a blank cell, a bad cell, a geodetic form, a zone number), the
# outputs, standard error and exit status of each run written into OUTDIR.
# Two builds that behave the same give byte-identical folders:
#   tests/cli/cli_batch.sh build/coordconv-cli /tmp/batch_before
#   (change the code, rebuild)
#   tests/cli/cli_batch.sh build/coordconv-cli /tmp/batch_after && diff -r /tmp/batch_before /tmp/batch_after
set -u
CLI=$(realpath "$1")
OUT=$2
rm -rf "$OUT"
mkdir -p "$OUT/in"
cd "$OUT" || exit 1

crlf() { printf '%s\r\n' "$@"; }
crlf 'P1,30.3015,114.2030' 'P2,39.5600,116.2400' 'P3,-12.3,120.3' ',,' > in/geodetic.txt
crlf 'P1,30.3015,114.2030' 'B4,3O.1,114' > in/geodetic_bad.txt
crlf 'P1,3376500.1736,644006.4942' 'P2,4427757.2186,38472580.1234' 'P3,3000000,-100000' ',,' > in/plane.txt
crlf 'P1,3376500.1736,644006.4942' 'B4,1x,5' > in/plane_bad3.txt
crlf 'P1,3376500.1736,38644006.4942' 'P2,3400000,38500000' > in/plane_zone.txt
crlf 'P1,3376500.1736,644006.4942,50.5' 'P2,3380000.1234,500000.5678,12' 'P3,3390000,510000,' ',,,' > in/plane_h.txt
crlf 'P1,30.3015,114.2030,50.5' 'P2,30.4000,114.1000,12' ',,,' > in/geodetic_h.txt
crlf 'P1,3376500,640006,50' 'P2,3376600,640106,51' 'Q,x,1,2' > in/plane_bad.txt
# Common points: Beijing 54 plane to Xi'an 80 plane (made-up shifts of a few metres).
crlf 'A,3380000.000,500000.000,50,3379990.120,500060.450,45.2' \
     'B,3390000.000,510000.000,60,3389990.210,510060.330,55.1' \
     'C,3370000.000,520000.000,70,3369990.050,520060.610,65.3' \
     'D,3385000.000,495000.000,40,3384990.180,495060.470,35.4' \
     'E,3375000.000,505000.000,55,3374990.100,505060.520,50.2,,,,,,No' > in/common_plane.txt
crlf 'A,30.3000,114.0000,50,30.3001,114.0002,45.2' \
     'B,30.4000,114.1000,60,30.4001,114.1002,55.1' \
     'C,30.2000,114.2000,70,30.2001,114.2002,65.3' \
     'D,30.3500,113.5500,40,30.3501,113.5502,35.4' > in/common_geodetic.txt
crlf 'A,0,0,1,10.5,20.2,3' 'B,1000,0,2,1010.6,20.1,4' 'C,0,1000,0,10.4,1020.3,2.1' 'D,1000,1000,1,1010.3,1020.4,3.2' \
     'E,500,300,1,510.45,320.27,3.05' 'F,200,800,1,210.41,820.33,3.02' 'G,700,100,1,710.52,120.18,3.01' \
     'H,300,600,1,310.44,620.29,3.04' 'I,900,500,1,910.39,520.31,3.06' 'J,100,400,1,110.48,420.22,3.03' \
     'K,600,900,1,610.37,920.35,3.00' > in/common_local.txt
crlf '10.5' '20.25' '1.5' '0.000012' '2.5' > in/plane_four_params.txt
crlf '-15.2' '20.1' '10.3' '0.5' '-0.3' '1.2' '0.0000025' > in/seven_params.txt
crlf '-15.2' '20.1' '10.3' '0.5' '-0.3' '1.2' '0.0000025' '1.5' > in/seven2d_params.txt
crlf '-15.2' '20.1' '10.3' '2.5' '30.3' '114.1' > in/four_params.txt
crlf 'a0,0.5' 'a1,0.00001' 'a2,-0.00002' 'b0,-0.7' 'b1,0.00003' 'b2,0.00001' > in/poly_params.txt
crlf 'A,3380000,500000,50.3,48.1' 'B,3390000,510000,60.2,58.0' 'C,3370000,520000,70.4,68.3' \
     'D,3385000,495000,40.1,37.9' 'E,3375000,505000,55.5,53.2' 'F,3382000,512000,52.0,49.8' > in/height_common.txt
crlf 'P,3381000,503000,51' 'Q,3388000,515000,61' > in/height_points.txt

n=0
# run NAME ARGS...: coordconv-cli ARGS with the output in NAME.out (when -o is
# not among ARGS, standard output), standard error in NAME.err and the exit
# status in NAME.status.
run() {
    name=$1; shift
    n=$((n + 1))
    "$CLI" "$@" > "$name.stdout" 2> "$name.err" < /dev/null
    echo $? > "$name.status"
}

for cmd in gauss-forward utm-forward; do
    run $cmd.a $cmd -i in/geodetic.txt --cm 114
    run $cmd.b $cmd -i in/geodetic.txt --system cgcs2000 --cm 117 --yconst 39500000
    run $cmd.c $cmd -i in/geodetic.txt --encoding utf-8 --cm 114.3 -o $cmd.c.txt
done
for cmd in gauss-inverse utm-inverse; do
    run $cmd.a $cmd -i in/plane.txt --cm 114
    run $cmd.b $cmd -i in/plane_zone.txt --system 2 --cm 114 --yconst 38500000
    run $cmd.c $cmd -i in/plane.txt --system custom --a 6378000 --invf 300 --cm 117
done
for cmd in gauss-forward utm-forward; do run $cmd.bad $cmd -i in/geodetic_bad.txt --cm 114; done
for cmd in gauss-inverse utm-inverse zone-change; do run $cmd.bad $cmd -i in/plane_bad3.txt --cm 114; done
run compensation.convert.bad compensation convert --a2 6378440.5 -i in/plane_bad3.txt
run utm-forward.south utm-forward -i in/geodetic.txt --cm 117 --xconst 10000000
run zone-change.a zone-change -i in/plane.txt --cm 114 --cm2 117
run zone-change.b zone-change -i in/plane_zone.txt --cm 114 --yconst 38500000 --cm2 117 --yconst2 39500000
run zone-change.c zone-change -i in/plane.txt --system cgcs2000 --cm 114.3 --cm2 113.3
run compensation.plane compensation plane --mean-lat 30.3 --mean-h 500 --mean-y 150000
run compensation.axis compensation axis --mean-lat 30.3 --plane-h 300
run compensation.convert compensation convert --a2 6378440.5 -i in/plane.txt
run compensation.convert0 compensation convert -i in/plane.txt
run compensation.convert2 compensation convert --system beijing54 --a2 6378545 --yconst 38500000 -i in/plane_zone.txt

for tool in bursa-wolf seven-3d seven-2d; do
    params=in/seven_params.txt
    [ $tool = seven-2d ] && params=in/seven2d_params.txt
    run $tool.solve.plane $tool solve --cm 114 -i in/common_plane.txt -o $tool.solve.plane.par --residuals $tool.solve.plane.res --report $tool.solve.plane.json
    run $tool.solve.geo $tool solve --cm 114 --form geodetic --form2 geodetic -i in/common_geodetic.txt -o $tool.solve.geo.par
    run $tool.solve.mixed $tool solve --cm 114 --form geodetic -i in/common_geodetic.txt -o $tool.solve.mixed.par
    run $tool.convert.pp $tool convert --cm 114 --params $params -i in/plane_h.txt
    run $tool.convert.pg $tool convert --cm 114 --form2 geodetic --params $params -i in/plane_h.txt
    run $tool.convert.gp $tool convert --cm 114 --form geodetic --cm2 117 --params $params -i in/geodetic_h.txt
    run $tool.convert.gg $tool convert --cm 114 --form geodetic --form2 geodetic --params $params -i in/geodetic_h.txt
    run $tool.convert.sys $tool convert --system cgcs2000 --system2 wgs84 --cm 114 --yconst2 600000 --params $params -i in/plane_h.txt
    run $tool.convert.zero $tool convert --cm 114 -i in/plane_h.txt
    run $tool.convert.bad $tool convert --cm 114 --params $params -i in/plane_bad.txt
done
run bursa-wolf.proj bursa-wolf proj --system beijing54 --system2 xian80 --cm 114 --params in/seven_params.txt
run four-3d.solve four-3d solve --cm 114 -i in/common_plane.txt -o four-3d.solve.par --residuals four-3d.solve.res --report four-3d.solve.json
run four-3d.solve.geo four-3d solve --cm 114 --form geodetic --form2 geodetic -i in/common_geodetic.txt -o four-3d.solve.geo.par
run four-3d.centre four-3d centre --cm 114 -i in/common_plane.txt
run four-3d.convert.pp four-3d convert --cm 114 --params in/four_params.txt -i in/plane_h.txt
run four-3d.convert.pg four-3d convert --cm 114 --form2 geodetic --params in/four_params.txt -i in/plane_h.txt
run four-3d.convert.gp four-3d convert --cm 114 --form geodetic --params in/four_params.txt -i in/geodetic_h.txt
run four-3d.convert.bad four-3d convert --cm 114 --params in/four_params.txt -i in/plane_bad.txt

run plane-four.solve plane-four solve -i in/common_local.txt -o plane-four.solve.par --residuals plane-four.solve.res --report plane-four.solve.json
run plane-four.convert plane-four convert --params in/plane_four_params.txt -i in/plane_h.txt
run plane-four.convert0 plane-four convert -i in/plane_h.txt
run plane-four.convert.bad plane-four convert --params in/plane_four_params.txt -i in/plane_bad.txt
run plane-four.proj plane-four proj --params in/plane_four_params.txt
for order in 1 2 3; do
    run polynomial.solve$order polynomial solve --order $order -i in/common_local.txt -o polynomial.solve$order.par --residuals polynomial.solve$order.res
    run polynomial.convert$order polynomial convert --order $order --params polynomial.solve$order.par -i in/plane_h.txt
done
run polynomial.convert polynomial convert --dh 1.5 --params in/poly_params.txt -i in/plane_h.txt
run polynomial.convert.geo polynomial convert --form ellipsoid --params in/poly_params.txt -i in/geodetic_h.txt
run polynomial.solve.geo polynomial solve --form ellipsoid -i in/common_geodetic.txt -o polynomial.solve.geo.par
run polynomial.proj polynomial proj --params in/poly_params.txt
run polynomial.convert.bad polynomial convert --params in/poly_params.txt -i in/plane_bad.txt

for model in 0 1 2; do
    run height-fit.solve$model height-fit solve --model $model -i in/height_common.txt -o height-fit.solve$model.par --residuals height-fit.solve$model.res 
    run height-fit.convert$model height-fit convert --model $model --params height-fit.solve$model.par -i in/height_points.txt
done
run map-sheet.a map-sheet --lat 39.56 --lon 116.24
run map-sheet.b map-sheet --lat 30.3015 --lon 114.2030 --output-form old
run map-sheet.c map-sheet --sheet J50G002039 --input-form new
run map-sheet.d map-sheet --x 3376500 --y 38644006

# Usage mistakes
run usage.a zone-change --cm
run usage.b plane-four bogus
run usage.c gauss-forward --cm 1 --cm 2
rm -rf in
echo "$n runs into $OUT"
