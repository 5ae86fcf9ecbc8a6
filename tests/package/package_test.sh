#!/bin/sh
# Builds the Debian package from the existing build tree into a temporary
# folder, unpacks it into a temporary root and checks what a user gets from
# `apt install`: the programs run from /usr/bin, the control data names the
# shared-library dependencies, the desktop entries validate and point at
# installed programs and icons, the man pages render without warnings and
# describe every tool of coordconv-cli, and the programs carry the hardening.
#
#   package_test.sh SOURCE_DIR BUILD_DIR CPACK VERSION
set -u
source_dir=$1
build_dir=$2
cpack=$3
version=$4

if ! command -v dpkg-deb >/dev/null 2>&1; then
    echo "dpkg-deb not installed (Debian package dpkg): not a Debian system"
    exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/coordconv-package.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The package, from the build tree as it stands (no second build).
if ! (cd "$build_dir" && "$cpack" -G DEB -B "$work/out") >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack -G DEB"
    exit 1
fi
set -- "$work"/out/coordconv_*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    ls -l "$work/out"
    echo "FAIL: expected one coordconv_*.deb"
    exit 1
fi
deb=$1
case $(basename "$deb") in
    coordconv_"$version"_*.deb) ;;
    *) fail "package file $(basename "$deb") does not carry version $version" ;;
esac

# Control data: name, version, section and the dependencies dpkg-shlibdeps found.
dpkg-deb -I "$deb" >"$work/info" || fail "dpkg-deb -I"
field() { sed -n "s/^ $1: //p" "$work/info"; }
[ "$(field Package)" = coordconv ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ "$(field Section)" = science ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libdxflib; do
    case $depends in
        *"$library"*) ;;
        *) fail "Depends lacks $library: '$depends'" ;;
    esac
done

# Contents: only under /usr, no build leftovers (static libraries, headers, tests).
dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents" || fail "dpkg-deb -c"
if grep -v '^\./usr/' "$work/contents" | grep -v '^\./$' | grep -q .; then
    fail "files outside /usr: $(grep -v '^\./usr/' "$work/contents" | grep -v '^\./$' | tr '\n' ' ')"
fi
if grep -E '\.a$|\.h$|/include/|_tests?$|_bench$|/usr/local/' "$work/contents" | grep -q .; then
    fail "build leftovers: $(grep -E '\.a$|\.h$|/include/|_tests?$|_bench$|/usr/local/' "$work/contents" | tr '\n' ' ')"
fi

root=$work/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb -x"; exit 1; }
for program in coordconv coordconv-cli coordconv-cad; do
    [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program missing or not executable"
done

# The programs carry Debian's hardening, as hardening-check (devscripts)
# would find it: position independent, relocations read-only (RELRO) and
# bound at start (BIND_NOW), the stack protector and FORTIFY's checked calls
# among the dynamic symbols (which stripping keeps).
if command -v readelf >/dev/null 2>&1; then
    for program in coordconv coordconv-cli coordconv-cad; do
        binary=$root/usr/bin/$program
        readelf -hW "$binary" | grep -q 'Type: *DYN' || fail "$program is not position independent"
        readelf -lW "$binary" | grep -q 'GNU_RELRO' || fail "$program has no RELRO segment"
        readelf -dW "$binary" | grep -Eq 'BIND_NOW|Flags:.* NOW' || fail "$program is not bound at start (BIND_NOW)"
        readelf --dyn-syms -W "$binary" >"$work/$program.symbols"
        grep -q '__stack_chk_fail' "$work/$program.symbols" || fail "$program has no stack protector"
        grep -Eq '__[a-z0-9_]+_chk(@|$| )' "$work/$program.symbols" || fail "$program has no FORTIFY checked calls"
    done
else
    fail "readelf (binutils) not found: the hardening is not checked"
fi

# The unpacked command line runs: its help, and a Gauss-Krüger forward
# conversion on the default system (1980 Xi'an, IAG-75 ellipsoid), central
# meridian 0, false easting 500 km; the figures are PROJ's (cs2cs +proj=tmerc
# +a=6378140 +rf=298.257 +x_0=500000 gives 644006.4942 3376500.1736), the
# line end is the program's CR LF.
cli=$root/usr/bin/coordconv-cli
"$cli" --help >"$work/help" 2>&1 || fail "coordconv-cli --help exits $?"
grep -q '^  gauss-forward ' "$work/help" || fail "coordconv-cli --help lists no gauss-forward"
printf 'P1,30.3,1.3\r\n' | "$cli" gauss-forward >"$work/converted" 2>"$work/converted.err" \
    || fail "gauss-forward exits $?: $(cat "$work/converted.err")"
printf 'P1,3376500.1736,644006.4942\r\n' >"$work/expected"
cmp -s "$work/expected" "$work/converted" \
    || fail "gauss-forward printed '$(od -c "$work/converted" | head -3)'"

# The companion starts (Qt and dxflib found, the stripped program intact).
QT_QPA_PLATFORM=offscreen "$root/usr/bin/coordconv-cad" --help >"$work/cad-help" 2>&1 \
    || fail "coordconv-cad --help exits $?: $(cat "$work/cad-help")"
grep -q -- '--server' "$work/cad-help" || fail "coordconv-cad --help lists no --server"

# Desktop entries: both present, valid, their programs and icons installed.
applications=$root/usr/share/applications
ls "$applications"
for entry in coordconv coordconv-cad; do
    file=$applications/$entry.desktop
    if [ ! -f "$file" ]; then
        fail "$entry.desktop missing"
        continue
    fi
    desktop-file-validate "$file" || fail "$entry.desktop does not validate"
    program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$file")
    [ -x "$root/usr/bin/$program" ] || fail "$entry.desktop runs '$program', not installed"
    icon=$(sed -n 's/^Icon=//p' "$file")
    [ -s "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$entry.desktop icon '$icon' not installed"
done

# Man pages render without warnings; the command line's page names every tool.
man1=$root/usr/share/man/man1
for program in coordconv coordconv-cli coordconv-cad; do
    page=$man1/$program.1.gz
    [ -f "$page" ] || page=$man1/$program.1
    if [ ! -f "$page" ]; then
        fail "man page of $program missing"
        continue
    fi
    case $page in
        *.gz) gzip -dc "$page" ;;
        *) cat "$page" ;;
    esac >"$work/$program.1"
    groff -k -man -Tutf8 -P-c -ww "$work/$program.1" >"$work/$program.txt" 2>"$work/$program.warnings" \
        || fail "groff fails on the man page of $program"
    [ -s "$work/$program.warnings" ] && fail "man page of $program: $(cat "$work/$program.warnings")"
    grep -q "$program" "$work/$program.txt" || fail "man page of $program does not render its name"
done
sed -n '/^Tools:/,/^$/s/^  \([a-z0-9-]*\) .*/\1/p' "$work/help" >"$work/tools"
[ -s "$work/tools" ] || fail "no tools in coordconv-cli --help"
# Rendered text holds bold as overstrikes: strip them before searching.
sed 's/.\x08//g' "$work/coordconv-cli.txt" >"$work/coordconv-cli.plain"
# Each tool is a paragraph tag of TOOLS: the name at the tag's indent.
sed -n '/^TOOLS/,/^[A-Z]/s/^       \([a-z0-9-]*\).*/\1/p' "$work/coordconv-cli.plain" >"$work/described"
while read -r tool; do
    grep -qx -- "$tool" "$work/described" || fail "coordconv-cli(1) does not describe $tool under TOOLS"
done <"$work/tools"

# The help: the user guide's pages and contents always (all of docs/help but
# the CHM project file), Help.chm when the build made one.
for page in "$source_dir"/docs/help/*; do
    name=$(basename "$page")
    case $name in *.hhp) continue ;; esac
    cmp -s "$page" "$root/usr/share/coordconv/help/$name" || fail "help page $name not installed"
done
[ -f "$root/usr/share/coordconv/help/index.html" ] || fail "help/index.html not installed"
if [ -f "$build_dir/Help.chm" ]; then
    [ -s "$root/usr/share/coordconv/Help.chm" ] || fail "Help.chm built but not installed"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "package $(basename "$deb") checked"
