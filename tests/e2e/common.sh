# Shared by the end-to-end tests: sourced, never run. Each test gets BUILD (the build tree) as its
# first argument and writes its screenshots and logs to $BUILD/test-artifacts.

set -eu
# As root, every test runs in a mount namespace of its own whose mounts do not propagate back, so
# nothing it mounts (the volumes, a scratch /usr/local/sbin) reaches the machine's mount table.
if [ "$(id -u)" -eq 0 ] && [ -z "${EXFATBAR_E2E_PRIVATE:-}" ] && command -v unshare >/dev/null; then
    EXFATBAR_E2E_PRIVATE=1 exec unshare -m --propagation private "$0" "$@"
fi
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
    disk_count=$(( ${disk_count:-0} + 1 ))
    [ "$(id -u)" -eq 0 ] || skip "loop devices need root"
    [ -w /dev/loop-control ] || skip "no /dev/loop-control"
    need losetup partx sfdisk
    image="$WORK/disk$disk_count.img"
    truncate -s 64M "$image"
    printf 'label: dos\n,,%s\n' "$1" | sfdisk -q "$image"
    device=$(losetup -f --show "$image")
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

# Root only, in the private namespace: an empty scratch file system over /usr/local/sbin, so the
# tools installer writes there and never into the machine's own folder.
scratch_usr_local_sbin() {
    [ -n "${EXFATBAR_E2E_PRIVATE:-}" ] || skip "no private mount namespace"
    mkdir -p /usr/local/sbin
    mount -t tmpfs -o size=64m exfatbar-e2e /usr/local/sbin
    at_exit "umount -l /usr/local/sbin"
}

# Whether $1 is a mount point now.
is_mounted() { awk -v mp="$1" '$5 == mp { found = 1 } END { exit !found }' /proc/self/mountinfo; }
