#!/usr/bin/env bash
# Installs what is missing, builds in Release into build/ and starts the program.
cd "$(dirname "$0")"
source ./scripts_common.sh
install_missing_packages
build_release
if [ -x build/coordconv ]; then
    exec build/coordconv "$@"
fi
exec build/coordconv-cli --help
