# Shared by run.sh and test.sh: install what is missing, then configure and
# build in Release into build/.
set -euo pipefail

PACKAGES=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libgtest-dev googletest
          libbenchmark-dev fonts-wqy-microhei xvfb xauth fp-utils libdxflib-dev proj-bin poppler-utils g++-mingw-w64-x86-64
          gcc-mingw-w64-x86-64 wine wine64 dpkg-dev file desktop-file-utils groff-base python3-ezdxf
          libgdal-dev gdal-bin python3-gdal)

install_missing_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages. As root, run:"
        echo "  apt-get update && apt-get install -y ${missing[*]}"
        exit 1
    fi
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
}

build_release() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build -j "$(nproc)"
}
