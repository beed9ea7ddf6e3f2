#!/bin/sh
# Installs what is missing, builds exfatbar and runs the whole test suite.
set -eu
top=$(cd "$(dirname "$0")" && pwd)
# Tools the tests drive the program with: a virtual display and tray, a terminal, screenshots, and
# bindfs for a FUSE mount of an ordinary user.
EXTRA_PACKAGES="xvfb trayer xdotool x11-utils imagemagick tmux bindfs"
. "$top/tools/setup.sh"
cd "$top/build"
ctest --output-on-failure --timeout 600
