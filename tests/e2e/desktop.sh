#!/bin/sh
# The real program in its desktop front end under Xvfb with a tray host: the tray icon is clicked,
# the menu appears (a screenshot is kept) and Quit ends the program with status 0. As root, a
# second run has an exFAT loop partition attached, which the menu offers to mount.
. "$(dirname "$0")/common.sh"
need Xvfb trayer xdotool xwininfo import

display_number=$(( ($$ % 400) + 100 ))
Xvfb ":$display_number" -screen 0 800x600x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
at_exit "kill $!"
export DISPLAY=":$display_number"
wait_for 50 xwininfo -root || skip "Xvfb cannot start"
trayer --edge top --align right --widthtype request --height 22 --SetDockType true \
    --transparent false --tint 0x333333 >"$WORK/trayer.log" 2>&1 &
at_exit "kill $!"
wait_for 50 sh -c "xwininfo -root -children | grep -q '\"panel\"'" || fail "trayer did not start"

# The height of the program's pop-up menu, its one window with a class: "NAME": ("exfatbar"
# "exfatbar")  WIDTHxHEIGHT+X+Y.
menu_height() {
    xwininfo -root -children |
        awk '/"exfatbar": \("exfatbar" "exfatbar"\)/ { split($5, size, "[x+]"); print size[2]; exit }'
}

# Starts the program and waits for its tray icon. Sets PID.
start_app() {
    "$APP" >"$WORK/app.log" 2>&1 &
    PID=$!
    at_exit "kill $PID"
    wait_for 50 sh -c "xdotool search --class trayer getwindowgeometry %@ | grep -q 'Geometry: [2-9][0-9]x'" ||
        fail "the tray icon did not appear: $(cat "$WORK/app.log")"
}

# Clicks the tray icon with mouse button $1 until the menu shows, saves the screenshot $2 and
# leaves the menu open. Sets HEIGHT.
open_menu() {
    geometry=$(xwininfo -root -children | awk '/"panel": \("panel" "trayer"\)/ { print $5 }')
    width=${geometry%%x*}
    x=${geometry#*+}; x=${x%%+*}
    # The icon is the panel's last slot.
    xdotool mousemove $((x + width - 11)) 11 click "$1"
    wait_for 50 sh -c "[ -n \"\$(xwininfo -root -children | awk '/\"exfatbar\": \(\"exfatbar\" \"exfatbar\"\)/')\" ]" ||
        fail "no menu appeared after a click of button $1: $(cat "$WORK/app.log")"
    sleep 0.5
    import -window root "$ARTIFACTS/$2"
    HEIGHT=$(menu_height)
    echo "menu open after a click of button $1, $HEIGHT pixels high: $ARTIFACTS/$2"
}

close_menu() {
    xdotool key Escape
    wait_for 50 sh -c "[ -z \"\$(xwininfo -root -children | awk '/\"exfatbar\": \(\"exfatbar\" \"exfatbar\"\)/')\" ]" ||
        fail "the menu did not close"
}

# Chooses Quit, the last entry, with the keyboard, and expects the program to end with status 0.
quit_from_menu() {
    xdotool key Up Return
    wait_for 100 sh -c "! kill -0 $PID" || fail "Quit did not end the program"
    wait "$PID" && status=0 || status=$?
    [ "$status" -eq 0 ] || fail "exit status $status after Quit"
}

start_app
# The context menu, which the tray opens itself on a right click, is built afresh as well.
open_menu 3 desktop-context-menu-empty.png
context_height=$HEIGHT
close_menu
open_menu 1 desktop-menu-empty.png
empty_height=$HEIGHT
[ "$context_height" -eq "$empty_height" ] || fail "the context menu differs from the click's menu"
quit_from_menu

if [ "$(id -u)" -eq 0 ] && [ -w /dev/loop-control ] && [ -w /dev/fuse ] &&
    command -v mkfs.exfat >/dev/null; then
    scratch_usr_local_sbin
    attach_disk 7 "E2E STICK"
    BASE="$HOME/exfat-volumes"
    start_app
    open_menu 1 desktop-menu-mount.png
    [ "$HEIGHT" -gt "$empty_height" ] || fail "the menu did not grow with a Mount entry"
    # The first enabled entry is "Mount: $PART".
    xdotool key Down Return
    wait_for 100 sh -c "[ \"\$(readlink '$HOME/Desktop/exFAT ($PART)')\" = '$BASE/$PART' ]" ||
        fail "the click did not mount $PART and link it on the Desktop"
    is_mounted "$BASE/$PART" || fail "linked but not mounted"

    open_menu 1 desktop-menu-eject.png
    # The first enabled entry is now "Eject: $PART (...)".
    xdotool key Down Return
    wait_for 100 sh -c "! awk -v mp='$BASE/$PART' '\$5 == mp { f = 1 } END { exit !f }' /proc/self/mountinfo" ||
        fail "the click did not eject $PART"
    # The link goes once the action has seen the volume leave the mount list.
    wait_for 50 sh -c "[ ! -L '$HOME/Desktop/exFAT ($PART)' ]" || fail "the Desktop link stayed after Eject"

    # A partition without a file system: the mount fails with an alert, dismissed with Return.
    attach_disk 7 -
    open_menu 1 desktop-menu-two.png
    xdotool key Down Down Return
    wait_for 100 sh -c "xwininfo -root -children | grep -q '\"exFAT\": (\"exfatbar\"'" ||
        fail "no alert after a failed mount"
    sleep 0.5
    import -window root "$ARTIFACTS/desktop-alert-mount-failed.png"
    xdotool key Return
    wait_for 50 sh -c "! xwininfo -root -children | grep -q '\"exFAT\": (\"exfatbar\"'" ||
        fail "the alert did not close"
    open_menu 1 desktop-menu-last.png
    quit_from_menu
else
    echo "not root, or no loop devices or /dev/fuse: the runs with partitions are skipped"
fi
echo "desktop front end: OK"
