#!/bin/sh
# Builds the Windows programs of tests/wine with mingw-w64 and runs them under
# Wine, in a Wine prefix of its own in a temporary folder (never the user's).
#   wine_tests.sh setup SOURCE_DIR WORK_DIR     cross-build, create the prefix
#   wine_tests.sh run WORK_DIR PROGRAM ARGS...  run a built .exe under Wine
#   wine_tests.sh digits SOURCE_DIR WORK_DIR LINUX_PROGRAM TEXTS
#                                               the Linux and Windows outputs, byte for byte
#   wine_tests.sh cleanup WORK_DIR              stop the prefix's server, remove it
set -eu
command=$1
shift
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer prompts

prefix_of() { cat "$1/prefix-path"; }

case "$command" in
setup)
    source_dir=$1 work_dir=$2
    mkdir -p "$work_dir"
    launcher=
    command -v ccache >/dev/null 2>&1 && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    cmake -S "$source_dir/tests/wine" -B "$work_dir/build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$source_dir/tests/wine/mingw-w64.cmake" $launcher >/dev/null
    cmake --build "$work_dir/build" -j 2
    if [ -f "$work_dir/prefix-path" ] && [ -d "$(prefix_of "$work_dir")" ]; then
        prefix=$(prefix_of "$work_dir")
    else
        prefix=$(mktemp -d "${TMPDIR:-/tmp}/coordconv-wine.XXXXXX")
        echo "$prefix" > "$work_dir/prefix-path"
    fi
    export WINEPREFIX="$prefix"
    started=$(date +%s)
    wine wineboot --init >/dev/null 2>&1
    # The first boot goes on installing in the background (the RPC service
    # that COM's running-object table needs among it): wait for its end.
    wineserver -w
    echo "Wine prefix $prefix ready in $(( $(date +%s) - started )) s"
    ;;
run)
    work_dir=$1
    shift
    program=$1
    shift
    WINEPREFIX=$(prefix_of "$work_dir") exec wine "$work_dir/build/$program" "$@"
    ;;
digits)
    source_dir=$1 work_dir=$2 linux_program=$3 texts=$4
    "$linux_program" "$texts" > "$work_dir/digits-linux.txt"
    WINEPREFIX=$(prefix_of "$work_dir") wine "$work_dir/build/number_digits.exe" "$texts" > "$work_dir/digits-windows.txt"
    if ! cmp "$work_dir/digits-linux.txt" "$work_dir/digits-windows.txt"; then
        diff "$work_dir/digits-linux.txt" "$work_dir/digits-windows.txt" | head -20
        exit 1
    fi
    echo "$(wc -l < "$texts") texts: the same bytes on Linux and on Windows"
    ;;
cleanup)
    work_dir=$1
    [ -f "$work_dir/prefix-path" ] || exit 0
    prefix=$(prefix_of "$work_dir")
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
    case "$prefix" in
    "${TMPDIR:-/tmp}"/coordconv-wine.*) rm -rf "$prefix" ;;
    esac
    rm -f "$work_dir/prefix-path"
    ;;
*)
    echo "unknown command $command" >&2
    exit 2
    ;;
esac
