#!/usr/bin/env bash
# Installs what is missing, builds in Release into build/ and runs the whole
# test suite; exits non-zero on any failure.
cd "$(dirname "$0")"
source ./scripts_common.sh
install_missing_packages
build_release
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 600
