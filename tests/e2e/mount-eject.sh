#!/bin/sh
# Mount and eject end to end: the real program in its terminal front end, the Linux stand-ins and
# the real FUSE exFAT driver on loop partitions, as root in a private mount namespace with a
# scratch /usr/local/sbin and a temporary home.
. "$(dirname "$0")/common.sh"
unset DISPLAY WAYLAND_DISPLAY
[ "$(id -u)" -eq 0 ] || skip "mounting loop partitions needs root"
[ -w /dev/fuse ] || skip "no usable /dev/fuse"
need mkfs.exfat mount.exfat-fuse
scratch_usr_local_sbin

attach_disk 7 "E2E STICK"
EXFAT=$PART
DISK_OF_EXFAT=$DISK
attach_disk 7 -
EMPTY=$PART
BASE="$HOME/exfat-volumes"
LINK="$HOME/Desktop/exFAT ($EXFAT)"

# --- the terminal, driven through a FIFO -------------------------------------------------------
mkfifo "$WORK/in"
# The transcript exists before the program starts: opening the FIFO waits for its writer below.
: >"$WORK/out"
"$APP" >"$WORK/out" 2>&1 <"$WORK/in" &
PID=$!
at_exit "kill $PID"
exec 3>"$WORK/in"
at_exit "cp '$WORK/out' '$ARTIFACTS/mount-eject-transcript.txt'"

MARK=0
mark() { MARK=$(wc -c <"$WORK/out"); }
since_mark() { tail -c +$((MARK + 1)) "$WORK/out"; }
# Waits for the pattern $1 in what the program has printed since the mark.
expect() {
    wait_for 300 sh -c "tail -c +$((MARK + 1)) '$WORK/out' | grep -q -e \"\$0\"" "$1" ||
        fail "expected '$1'; the program printed: $(since_mark)"
}
send() { printf '%s\n' "$1" >&3; }

# Opens the menu and waits until it has been printed in full.
open_menu() {
    mark
    send ""
    expect "Choose 1-"
}
# Chooses the entry whose title begins with $1 in the menu just printed.
choose() {
    number=$(since_mark | sed -n "s/^ *\([0-9][0-9]*\)) $1.*/\1/p" | head -n 1)
    [ -n "$number" ] || fail "no entry '$1' in the menu: $(since_mark)"
    mark
    send "$number"
}
# Waits until the action has finished and the status item is shown again.
item_shown() { expect "^exFAT$"; }

mark
expect "^exFAT$"

# Listed, then mounted through the driver, the tools installed on the way.
[ ! -e /usr/local/sbin/mount.exfat ] || fail "the scratch /usr/local/sbin is not empty"
open_menu
since_mark | grep -q "Mount: $EXFAT ([0-9.]* MB)" || fail "no Mount entry for $EXFAT: $(since_mark)"
choose "Mount: $EXFAT"
item_shown
[ -L /usr/local/sbin/mount.exfat ] || fail "the tools were not installed"
is_mounted "$BASE/$EXFAT" || fail "$EXFAT is not mounted at $BASE/$EXFAT"
grep -q " $BASE/$EXFAT .* - fuseblk /dev/$EXFAT " /proc/self/mountinfo || fail "not a FUSE mount"
[ "$(readlink "$LINK")" = "$BASE/$EXFAT" ] || fail "no Desktop link to the mount point"

open_menu
since_mark | grep -q "Eject: $EXFAT ([0-9]*\.[0-9]/[0-9]*\.[0-9] GB free)" ||
    fail "no Eject entry with free space: $(since_mark)"
since_mark | grep -q "Mount: $EXFAT" && fail "a mounted partition is offered for mounting"
echo "written through the mount point" >"$BASE/$EXFAT/hello.txt"

# Eject: unmounted, link gone, directory kept.
choose "Eject: $EXFAT"
item_shown
is_mounted "$BASE/$EXFAT" && fail "still mounted after Eject"
[ -e "$LINK" ] || [ -L "$LINK" ] && fail "the Desktop link stayed after Eject"
[ -d "$BASE/$EXFAT" ] || fail "the mount point directory went"

# Mounted again: the file written before is read back.
open_menu
choose "Mount: $EXFAT"
item_shown
[ "$(cat "$BASE/$EXFAT/hello.txt")" = "written through the mount point" ] ||
    fail "the file did not survive eject and mount"

# Eject while a process holds a file open on the volume: refused, with the system's reason.
sleep 300 <"$BASE/$EXFAT/hello.txt" &
HOLDER=$!
at_exit "kill $HOLDER"
open_menu
choose "Eject: $EXFAT"
expect "Failed to eject"
expect "busy"
send ""
item_shown
is_mounted "$BASE/$EXFAT" || fail "unmounted although busy"
[ -L "$LINK" ] || fail "the Desktop link went although the eject failed"
kill $HOLDER
wait $HOLDER 2>/dev/null || true

# A partition of NTFS type without any file system: the driver's message, and no link.
open_menu
choose "Mount: $EMPTY"
expect "Failed to mount"
expect "/dev/$EMPTY"
expect "exFAT file system is not found"
send ""
item_shown
[ -e "$HOME/Desktop/exFAT ($EMPTY)" ] && fail "a link was made for a failed mount"
is_mounted "$BASE/$EMPTY" && fail "$EMPTY is mounted"

# The disk is pulled out while mounted: the loop device is detached and its partition's node goes,
# as udev removes it. The next click cleans up.
losetup -d "/dev/$DISK_OF_EXFAT" 2>/dev/null || true
rm -f "/dev/$EXFAT"
open_menu
since_mark | grep -q "Eject: $EXFAT" && fail "a vanished volume is still offered for ejecting"
is_mounted "$BASE/$EXFAT" && fail "the vanished volume is still mounted"
[ -L "$LINK" ] && fail "the vanished volume's Desktop link stayed"
mark
send ""
item_shown

# Quit ends the program with status 0.
open_menu
choose "Quit"
wait_for 100 sh -c "! kill -0 $PID" || fail "Quit did not end the program"
wait $PID && status=0 || status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
echo "mount and eject: OK"
