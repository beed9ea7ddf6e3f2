#!/bin/sh
# Installs what is missing, builds exfatbar and starts it.
set -eu
top=$(cd "$(dirname "$0")" && pwd)
. "$top/tools/setup.sh"
exec "$top/build/exfatbar.app/exfatbar"
