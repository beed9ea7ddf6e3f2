#!/bin/sh
# Installs the Debian packages exfatbar needs (when root), then configures and builds it in
# build/. Sourced by run.sh and test.sh; test.sh adds the test tools in EXTRA_PACKAGES.
set -eu

EXFATBAR_PACKAGES="cmake g++ make pkg-config qt6-base-dev qt6-qpa-plugins fonts-dejavu-core \
libblkid-dev libgtest-dev libgmock-dev libbenchmark-dev exfat-fuse exfatprogs fdisk util-linux pkexec ${EXTRA_PACKAGES:-}"

missing=""
for package in $EXFATBAR_PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

if [ -n "$missing" ]; then
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing:$missing"
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
    else
        echo "exfatbar needs these Debian packages:$missing"
        echo "Install them as root with:"
        echo "  apt-get update && apt-get install -y --no-install-recommends$missing"
        exit 1
    fi
fi

: "${top:?set by run.sh and test.sh, which source this file}"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" -j "$(nproc)"
