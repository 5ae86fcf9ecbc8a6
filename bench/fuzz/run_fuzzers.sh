#!/usr/bin/env bash
# Builds the two libFuzzer targets with clang (Debian clang + libclang-rt) and
# runs each for SECONDS (default 60).
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-60}
out=build-fuzz
mkdir -p "$out"
flags="-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I. $(pkg-config --cflags Qt6Core) -fPIC"
libs="$(pkg-config --libs Qt6Core)"
sources="core/errors.cpp core/number_text.cpp shell/point_table.cpp shell/coordinate_file.cpp shell/text_codec.cpp"
for target in text_fuzzer file_fuzzer; do
    clang++ $flags bench/fuzz/$target.cpp $sources $libs -o "$out/$target"
    mkdir -p "$out/corpus-$target"
    "$out/$target" -max_total_time="$seconds" -max_len=256 "$out/corpus-$target" 2>&1 | tail -n 3
done
