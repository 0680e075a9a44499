#!/usr/bin/env bash
# Replays, through real X events (xdotool), the user sequences that once
# ended the program: a menu or drop-down closed with Escape, File > Open
# cancelled, a damaged file opened, a score opened by its typed path, Save as
# after choosing a codec. Each try runs a fresh copy of the program (with its
# language files and pictures) in a folder of its own on a new Xvfb, with or
# without openbox; opened files are copies and saves go into that folder.
# Usage: crash-sequences.sh PROGRAM_DIR [TRIES] [plain|openbox|both] [SEQUENCE...]
# Prints "sequence mode failed/tries" per line (a try fails when the program
# ended or its main window never showed); exits 1 when any try failed.
set -uo pipefail
program=$(cd "$1" && pwd); tries=${2:-20}; modes=${3:-both}; shift $(($# < 3 ? $# : 3))
[ "$modes" = both ] && modes="plain openbox"
top=$(cd "$(dirname "$0")/../.." && pwd)
for corpus in "${SONARID_CORPUS_DIR:-}" "$top/../shared/corpus" "$top/../../shared/corpus"; do
  [ -f "$corpus/musicxml/01a-Pitches-Pitches.xml" ] && break
done
corpus=$corpus/musicxml/01a-Pitches-Pitches.xml
for tool in Xvfb xdotool; do command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }; done
export ASAN_OPTIONS=detect_leaks=0 SDL_VIDEODRIVER=x11

# Clicks relative to the main window and keys. The main window is the
# largest mapped window of at least its least size (442 by 318) and below
# the root's: dialogs and drop-downs are smaller, and so are openbox's own
# windows and the program's 1 by 1 helper window off the screen, which may
# be mapped before the main window is.
main_xy() { xdotool search --onlyvisible --name '' getwindowgeometry %@ 2>/dev/null |
  awk '/Position/{split($2,p,",")} /Geometry/{split($2,g,"x"); a=g[1]*g[2];
       if (g[1] >= 442 && g[2] >= 318 && $2 != "1024x768" && a > best) {best=a; xy=p[1] " " p[2]}}
       END{if (xy) print xy}'; }
click() { local o; o=($(main_xy)); xdotool mousemove $((o[0] + $1)) $((o[1] + $2)) click 1; sleep 0.3; }
key() { xdotool key "$@"; sleep 0.3; }
open_dialog() { click 12 10; click 46 31; }
type_path() { xdotool type --delay 2 "$1"; key Return; }

sequence() {  # the steps of one sequence, in $dir
  case $1 in
    menu-escape) for _ in $(seq 12); do click 12 10; key Escape; done ;;
    dropdown-escape) for _ in $(seq 6); do click 375 97; key Escape; click 300 97; key Escape; done ;;
    open-escape) for _ in $(seq 4); do open_dialog; key Escape; done ;;
    open-damaged) for _ in $(seq 3); do open_dialog; type_path "$dir/damaged.mid"; key Return; done ;;
    open-typed) for _ in $(seq 4); do open_dialog; type_path "$dir/score.xml"; done ;;
    saveas-codec) click 341 125; click 375 149; key Down; key Return
      for i in $(seq 3); do click 12 10; click 53 91; type_path "$dir/take$i.wav"; key Return; done ;;
  esac
}

cause() {  # the kind of the first error and where it happened
  sed -nE 's/.*ERROR: AddressSanitizer: ([a-z-]+).*/\1/p; s/^X Error of failed request: +(.*)/\1/p;
    s/.*#[0-9] 0x[0-9a-f]+ in ([^ ]+).*/\1/p; s/ *Major opcode of failed request: +(.*)/\1/p' "$1" | head -3 | paste -sd' '
  grep -q . "$1" || echo "no message"
}

# A window shown while openbox starts may never be mapped: wait until it runs.
wait_for_wm() {
  for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && return; sleep 0.05; done
}

run_try() {  # sequence mode -> 0 when the program survived
  dir=$(mktemp -d); cp -r "$program/." "$dir/prog"
  cp "$corpus" "$dir/score.xml"; head -c 40 "$corpus" > "$dir/damaged.mid"
  exec {fd}<> <(:); Xvfb -displayfd $fd -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & local xvfb=$!
  read -t 15 -u $fd n; export DISPLAY=:$n
  local wm=; [ "$2" = openbox ] && { openbox >/dev/null 2>&1 & wm=$!; wait_for_wm; }
  (cd "$dir" && exec ./prog/sonarid) >"$dir/out" 2>&1 & local pid=$!
  for _ in $(seq 50); do [ -n "$(main_xy)" ] && break; sleep 0.2; done
  # A try whose main window never showed has not run its sequence: it fails.
  local alive=0
  if [ -z "$(main_xy)" ]; then
    alive=1; echo "main window not found" >> "$log"
  else
    sequence "$1"; sleep 0.5
    kill -0 $pid 2>/dev/null || { alive=1; cause "$dir/out" >> "$log"; }
  fi
  kill $pid $wm 2>/dev/null; wait $pid 2>/dev/null; kill $xvfb; wait $xvfb 2>/dev/null; exec {fd}>&-
  rm -rf "$dir"; return $alive
}

log=$(mktemp); failed=0
[ $# -eq 0 ] && set -- menu-escape dropdown-escape open-escape open-damaged open-typed saveas-codec
for seq in "$@"; do
  for mode in $modes; do
    crashed=0
    for _ in $(seq "$tries"); do run_try $seq $mode || crashed=$((crashed + 1)); done
    echo "$seq $mode $crashed/$tries"; [ $crashed -gt 0 ] && failed=1
  done
done
sort "$log" | uniq -c | sed 's/^/  first error: /'; rm -f "$log"
exit $failed
