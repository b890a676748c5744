#!/usr/bin/env bash
# The real game in a real X window: starts branchwick under its own Xvfb with a fresh home,
# waits for the first screen, and fails when the frame is one colour or the log lacks its
# start-up lines; then clicks, and checks that the level started and the picture changed.
# Usage: real_window_test.sh GAME_BINARY
set -uo pipefail
game="$1"
work="$(mktemp -d)"
display=":$(( 90 + RANDOM % 400 ))"
cleanup() {
  [ -n "${gpid:-}" ] && kill "$gpid" 2>/dev/null
  [ -n "${xpid:-}" ] && kill "$xpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "real-window: $*" >&2; [ -f "$log" ] && tail -20 "$log" >&2; exit 1; }

Xvfb "$display" -screen 0 1280x720x24 -nolisten tcp >"$work/xvfb.txt" 2>&1 &
xpid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY="$display" HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share"
export ALSOFT_DRIVERS=null
unset SDL_VIDEODRIVER
mkdir -p "$HOME"
log="$XDG_DATA_HOME/KestruneEntertainment/Tallow Studios/Branchwick/Branchwick.log"

(cd "$(dirname "$game")" && exec "$game") >"$work/game.txt" 2>&1 &
gpid=$!

# The first screen: the window exists and the start-up has written its lines.
for _ in $(seq 150); do
  grep -q "app activate\|Main mode" "$log" 2>/dev/null && xdotool search --name Branchwick >/dev/null 2>&1 && break
  kill -0 "$gpid" 2>/dev/null || fail "the game ended at start-up: $(cat "$work/game.txt")"
  sleep 0.2
done
sleep 1
for line in "Branchwick" "Version: " "Launched at: " "Main mode"; do
  grep -q "$line" "$log" 2>/dev/null || fail "the log lacks \"$line\""
done

colours() { import -window root "$1" 2>/dev/null && identify -format '%k' "$1"; }
# The start loads the main pictures before the first screen shows; give it time.
first=0
for _ in $(seq 60); do
  first=$(colours "$work/first.png") || fail "no screenshot"
  [ "${first:-0}" -gt 100 ] && break
  sleep 0.5
done
[ "${first:-0}" -gt 100 ] || fail "the first screen stays uniform ($first colours)"

# A click leaves the ready screen and starts the level.
xdotool mousemove 640 360 click 1
for _ in $(seq 50); do grep -q "Level 1 started" "$log" && break; sleep 0.2; done
grep -q "Level 1 started" "$log" || fail "the click did not start the level"
sleep 1
second=$(colours "$work/second.png") || fail "no screenshot after the click"
[ "${second:-0}" -gt 100 ] || fail "the level screen is uniform ($second colours)"
cmp -s "$work/first.png" "$work/second.png" && fail "the click changed nothing on screen"

kill -TERM "$gpid"
wait "$gpid"
code=$?
gpid=""
[ "$code" -eq 0 ] || fail "the game ended with $code on SIGTERM"
echo "real-window: first screen $first colours, level $second colours, exit $code"
