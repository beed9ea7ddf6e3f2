#!/bin/sh
# The real program in its terminal front end, driven through a pipe and through tmux.
. "$(dirname "$0")/common.sh"
unset DISPLAY WAYLAND_DISPLAY

check_run() {
    name=$1 input=$2
    printf "$input" | "$APP" >"$WORK/$name.out" 2>&1 && status=0 || status=$?
    cp "$WORK/$name.out" "$ARTIFACTS/terminal-$name.txt"
    [ "$status" -eq 0 ] || fail "$name: exit status $status"
    grep -q "^exFAT$" "$WORK/$name.out" || fail "$name: no status item line"
    grep -q "No exFAT drives found" "$WORK/$name.out" || fail "$name: no nothing-found entry"
    grep -q "1) Quit" "$WORK/$name.out" || fail "$name: Quit is not entry 1"
}

# Enter opens the menu, 1 chooses Quit.
check_run quit '\n1\n'
# Enter opens the menu, Enter closes it, then the input ends.
check_run end-of-input '\n\n'
[ "$(grep -c '^exFAT$' "$WORK/end-of-input.out")" -eq 2 ] || fail "the item is not shown again"
[ -d "$HOME/exfat-volumes" ] || fail "the mount base directory was not made"

if command -v tmux >/dev/null 2>&1; then
    session="exfatbar-$$"
    tmux -L "$session" new-session -d -x 100 -y 30 "$APP; echo EXITED \$?; sleep 30"
    at_exit "tmux -L $session kill-server"
    wait_for 50 sh -c "tmux -L $session capture-pane -p | grep -q '^exFAT$'" || fail "tmux: no item"
    tmux -L "$session" send-keys Enter
    wait_for 50 sh -c "tmux -L $session capture-pane -p | grep -q 'Quit'" || fail "tmux: no menu"
    tmux -L "$session" capture-pane -p >"$ARTIFACTS/terminal-tmux.txt"
    tmux -L "$session" send-keys 1 Enter
    wait_for 50 sh -c "tmux -L $session capture-pane -p | grep -q 'EXITED 0'" ||
        fail "tmux: Quit did not end the program with status 0"
else
    echo "tmux is not installed: the real-terminal part is skipped"
fi
echo "terminal front end: OK"
