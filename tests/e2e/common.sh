# Shared by the end-to-end tests: sourced, never run. Each test gets BUILD (the build tree) as its
# first argument and writes its screenshots and logs to $BUILD/test-artifacts.

set -eu
BUILD=$(cd "$1" && pwd)
APP="$BUILD/exfatbar.app/exfatbar"
ARTIFACTS="$BUILD/test-artifacts"
mkdir -p "$ARTIFACTS"
SKIP=77
WORK=$(mktemp -d /tmp/exfatbar-e2e-XXXXXX)
export HOME="$WORK/home"
mkdir -p "$HOME/Desktop"
CLEANUPS=""

# Runs the commands given, newest first, when the test ends however it ends.
at_exit() { CLEANUPS="$*; $CLEANUPS"; }
finish() {
    status=$?
    eval "$CLEANUPS" >/dev/null 2>&1 || true
    rm -rf "$WORK"
    exit $status
}
trap finish EXIT INT TERM

skip() { echo "SKIPPED: $*"; exit $SKIP; }
fail() { echo "FAILED: $*"; exit 1; }
need() { for tool in "$@"; do command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"; done; }

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    tries=$1
    shift
    while ! "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# Root only: a loop disk with one MBR partition of type $1 (7 is NTFS/exFAT), formatted exFAT
# with label $2 unless $2 is "-". Sets DISK (loopN) and PART (loopNp1).
attach_disk() {
    [ "$(id -u)" -eq 0 ] || skip "loop devices need root"
    [ -w /dev/loop-control ] || skip "no /dev/loop-control"
    need losetup partx sfdisk
    truncate -s 64M "$WORK/disk.img"
    printf 'label: dos\n,,%s\n' "$1" | sfdisk -q "$WORK/disk.img"
    device=$(losetup -f --show "$WORK/disk.img")
    DISK=${device#/dev/}
    at_exit "losetup -d /dev/$DISK"
    partx -a "/dev/$DISK" 2>/dev/null || fail "partx could not add the partitions of $DISK"
    at_exit "partx -d /dev/$DISK"
    PART=${DISK}p1
    [ -e "/dev/$PART" ] || fail "no /dev/$PART"
    if [ "$2" != "-" ]; then
        mkfs.exfat -L "$2" "/dev/$PART" >/dev/null
    fi
}
