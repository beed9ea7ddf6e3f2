#!/bin/sh
# Installs what is missing, builds exfatbar and runs the whole test suite.
set -eu
top=$(cd "$(dirname "$0")" && pwd)
. "$top/tools/setup.sh"
cd "$top/build"
ctest --output-on-failure --timeout 600
