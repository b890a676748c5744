#!/usr/bin/env bash
# The real game in a real X window: starts branchwick under its own Xvfb with a fresh home,
# waits for the first screen, and fails when the frame is one colour or the log lacks its
# start-up lines; then clicks into the main menu, takes the offered name, follows the start
# sign, and checks that the level started and the picture changed.
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
export XDG_CONFIG_HOME="$work/home/.config" XDG_STATE_HOME="$work/home/.local/state"
export ALSOFT_DRIVERS=null
unset SDL_VIDEODRIVER
mkdir -p "$HOME"
log="$XDG_STATE_HOME/branchwick/Branchwick.log"

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
# Waits up to $2 tenths of a second for the log line $1.
await() {
  for _ in $(seq "$2"); do grep -q "$1" "$log" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}
# A screenshot of more than 100 colours within $2 tenths of a second, into $1.
picture() {
  local n=0
  for _ in $(seq "$2"); do
    n=$(colours "$1") || fail "no screenshot"
    [ "${n:-0}" -gt 100 ] && { echo "$n"; return 0; }
    sleep 0.1
  done
  echo "${n:-0}"
  return 1
}

# The splash: the game's logo, then the studio mark, each a real picture on the screen.
await "Creating SS..." 100 || fail "the splash did not begin"
splash=$(picture "$work/splash.png" 80) || fail "the splash stays uniform ($splash colours)"

# The first loading screen, once the splash has run its course (a first start cannot skip it).
await "Loading main resources..." 300 || fail "the splash did not end"
sleep 1
loading=$(picture "$work/loading.png" 100) || fail "the loading screen stays uniform ($loading colours)"

# A click, once the reading is done, fades into the main menu, where a first start is asked
# for a name. Clicks while it still reads are ignored, so click until one is taken.
for _ in $(seq 40); do
  xdotool mousemove 640 360 click 1
  await "Creating main menu..." 5 && break
done
grep -q "Creating main menu..." "$log" || fail "no click led on from the loading screen"
await "Creating entername..." 100 || fail "a first start was not asked for a name"
sleep 0.5
menu=$(picture "$work/menu.png" 50) || fail "the main menu is uniform ($menu colours)"
xdotool key Return
await "Destroying entername..." 30 || fail "Enter did not take the name"
# The start sign (design 967, 740) takes a new player into the first level, whose location's
# pictures load behind their own screen; a click there starts the level.
sleep 1.5
for _ in $(seq 20); do
  xdotool mousemove 645 493 click 1
  await "Loading \"Data/Loc_1.dan\"" 10 && break
done
grep -q "Loading \"Data/Loc_1.dan\"" "$log" || fail "the start sign did not lead on"
for _ in $(seq 40); do
  await "Level 1 started" 5 && break
  xdotool mousemove 640 360 click 1
done
grep -q "Level 1 started" "$log" || fail "no click started the level"
sleep 2
second=$(picture "$work/second.png" 50) || fail "the level screen is uniform ($second colours)"
cmp -s "$work/loading.png" "$work/second.png" && fail "the click changed nothing on screen"

kill -TERM "$gpid"
wait "$gpid"
code=$?
gpid=""
[ "$code" -eq 0 ] || fail "the game ended with $code on SIGTERM"
echo "real-window: splash $splash colours, loading screen $loading colours, menu $menu colours, level $second colours, exit $code"
