#!/usr/bin/env bash
# Time and peak memory of coordconv-cli plane-four solve --report for 1,000
# and 20,000 common points (a 30 km square network with 1 cm noise), the
# report written as JSON, HTML and PDF. Prints one line per size and form
# with the PDF's time as a multiple of the HTML's.
#
#   bench/precision_report_bench.sh [POINTS...]   (build first: ./run.sh or ./test.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/coordconv-cli
[ -x "$cli" ] || { echo "build first (./test.sh)"; exit 1; }
[ -x /usr/bin/time ] || { echo "As root, run: apt-get install -y time"; exit 1; }
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 20000)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in "${sizes[@]}"; do
    python3 - "$n" "$work/common.txt" <<'PY'
import random, sys
n, path = int(sys.argv[1]), sys.argv[2]
random.seed(n)
with open(path, "w", newline="") as out:
    for i in range(n):
        x = 3380000 + random.uniform(0, 30000); y = 500000 + random.uniform(0, 30000)
        out.write(f"P{i},{x:.4f},{y:.4f},50,{x + 12.5 + 2e-5 * y + random.gauss(0, 0.01):.4f},"
                  f"{y - 8.25 - 2e-5 * x + random.gauss(0, 0.01):.4f},51,,,,,,Yes\r\n")
PY
    declare -A seconds=()
    for form in json html pdf; do
        /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$cli" plane-four solve -i "$work/common.txt" -o "$work/p.txt" \
            --report "$work/report.$form" 2>/dev/null
        read -r elapsed kilobytes user system < "$work/time"
        seconds[$form]=$elapsed
        printf '%6d points  %-4s  %7.2f s (CPU %7.2f s)  %6d MB  %9d bytes\n' "$n" "$form" "$elapsed" \
            "$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')" $((kilobytes / 1024)) \
            "$(stat -c %s "$work/report.$form")"
    done
    awk -v p="${seconds[pdf]}" -v h="${seconds[html]}" 'BEGIN { printf "        PDF / HTML time: %.1f\n", (h > 0 ? p / h : 0) }'
done
