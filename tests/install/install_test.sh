#!/usr/bin/env bash
# The game as an install leaves it: installs the build into a temporary root (DESTDIR, prefix
# /usr), checks the layout, starts the installed game and the installed replay harness from
# there with the build tree out of their sight (no Data beside them, XDG_DATA_DIRS elsewhere,
# a fresh home holding an old-style folder to move), then uninstalls by the install manifest
# and checks that nothing is left behind.
# Usage: install_test.sh CMAKE BUILD_DIR
set -uo pipefail
cmake="$1"
build="$2"
work="$(mktemp -d)"
root="$work/root"
cleanup() {
  [ -n "${gpid:-}" ] && kill "$gpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "install: $*" >&2; [ -f "${log:-}" ] && tail -20 "$log" >&2; exit 1; }

for component in game tools; do
  DESTDIR="$root" "$cmake" --install "$build" --prefix /usr --component "$component" \
    >"$work/install-$component.txt" 2>&1 || fail "install of $component: $(tail -5 "$work/install-$component.txt")"
  [ -f "$build/install_manifest_$component.txt" ] || fail "no manifest for $component"
  cp "$build/install_manifest_$component.txt" "$work/"
done

# The layout.
share="$root/usr/share"
for f in usr/bin/branchwick usr/bin/dan usr/bin/datapack usr/bin/branchwick-replay \
         usr/share/games/branchwick/Data/Common.dan \
         usr/share/applications/org.branchwick.Branchwick.desktop \
         usr/share/metainfo/org.branchwick.Branchwick.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/org.branchwick.Branchwick.svg \
         usr/share/man/man6/branchwick.6.gz \
         usr/share/doc/branchwick/LICENSES usr/share/doc/branchwick/copyright \
         usr/share/doc/branchwick/data/Fonts/LICENSE; do
  [ -f "$root/$f" ] || fail "$f is not installed"
done
for dan in "$build"/Data/*.dan; do
  [ -f "$share/games/branchwick/Data/$(basename "$dan")" ] || fail "$(basename "$dan") is not installed"
done
for size in 16 22 24 32 48 64 128 256 512; do
  icon="$share/icons/hicolor/${size}x${size}/apps/org.branchwick.Branchwick.png"
  [ -f "$icon" ] || fail "no ${size}x${size} icon"
  head -c 24 "$icon" | od -An -tx1 | tr -d ' \n' | grep -q "^89504e47.\{24\}0000$(printf %04x "$size")0000$(printf %04x "$size")" \
    || fail "the ${size}x${size} icon is not a ${size}x${size} PNG"
done
grep -q "^usr/bin/dan$\|/usr/bin/dan$" "$work/install_manifest_game.txt" && fail "the game component holds the tools"
zcat "$share/man/man6/branchwick.6.gz" | grep -q "XDG_CONFIG_HOME" || fail "the manual page lacks its files"
zcat "$share/man/man6/branchwick.6.gz" | grep -q "^.SH OPTIONS" || fail "the manual page lacks the options"
"$root/usr/bin/branchwick" --version | grep -q "^Branchwick [0-9]" || fail "--version"

# The installed programs, run from elsewhere with a fresh home.
export HOME="$work/home" XDG_DATA_DIRS="$work/nowhere" ALSOFT_DRIVERS=null SDL_VIDEODRIVER=offscreen
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME
old="$HOME/.local/share/KestruneEntertainment/Tallow Studios/Branchwick"
mkdir -p "$old/Profiles"
printf '[OPTIONS]\nMusicVolume=0.25\n' >"$old/Game.ini"
cp "$build/../../tests/install/../../README.md" /dev/null 2>&1 || true
log="$HOME/.local/state/branchwick/Branchwick.log"
cd "$work"

"$root/usr/bin/branchwick" >"$work/game.txt" 2>&1 &
gpid=$!
for _ in $(seq 300); do
  grep -q "Loading main resources..." "$log" 2>/dev/null && break
  kill -0 "$gpid" 2>/dev/null || fail "the installed game ended at start-up: $(cat "$work/game.txt")"
  sleep 0.1
done
grep -q "Loading main resources..." "$log" 2>/dev/null || fail "the installed game did not start loading"
sleep 1
# Every archive the build packed opens from the installed data (some are not made yet).
for dan in "$build"/Data/*.dan; do
  grep -q "Archive .*/$(basename "$dan") not opened" "$log" && fail "the installed game did not open $(basename "$dan")"
done
grep -q "Moved .*Game.ini to $HOME/.config/branchwick/Game.ini" "$log" || fail "the old options were not moved"
kill -TERM "$gpid"
wait "$gpid"
code=$?
gpid=""
[ "$code" -eq 0 ] || fail "the installed game ended with $code on SIGTERM"
grep -q "MusicVolume=0.25" "$HOME/.config/branchwick/Game.ini" || fail "the moved options were lost"
[ -e "$HOME/.local/share/KestruneEntertainment" ] && fail "the old folder is still there"

# The replay harness finds the installed data as well and plays into the main menu.
printf '0 wait scene scene_Loaded 2000\n+1 click\n+0 wait scene scene_EnterName 600\n' >"$work/script.txt"
"$root/usr/bin/branchwick-replay" --home "$work/replay-home" --quick-start --ticks 3000 \
  --input "$work/script.txt" >"$work/replay.txt" 2>&1 || fail "installed replay: $(tail -5 "$work/replay.txt")"

# Uninstall: every file the manifests name goes, and nothing else is left.
# (The manifests name the files under the prefix, without DESTDIR.)
# (The manifests name the files under the prefix, without DESTDIR, and end without a newline.)
for manifest in "$work"/install_manifest_*.txt; do
  while IFS= read -r f || [ -n "$f" ]; do
    case "$f" in "$root"/*) ;; *) f="$root$f" ;; esac
    rm -f "$f" || exit 1
  done <"$manifest"
done || fail "uninstall"
find "$root" -depth -type d -empty -delete
if [ -e "$root" ]; then
  fail "left after the uninstall: $(find "$root" -not -type d | head -5)"
fi
echo "install: layout, start-up from $root/usr/bin, old folder moved, replay and uninstall pass"
