#!/usr/bin/env bash
# The titles the window system shows are the windows' own captions, with nothing appended:
# the main window's and the statistics window's, read with xprop from a real X display.
#   window_titles.sh BUILD_DIR      (exit 77: skipped)
set -u
build=$1
for tool in Xvfb xprop xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
display=
for n in $(seq 150 199); do
  [ -e "/tmp/.X$n-lock" ] || { display=:$n; break; }
done
[ -n "$display" ] || { echo "skipped: no free display"; exit 77; }
home=$(mktemp -d)
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 & xvfb=$!
program=
trap 'kill $program $xvfb 2>/dev/null; rm -rf "$home"' EXIT
# Started only once the display answers: a loaded machine can take more than a second.
for _ in $(seq 100); do
  DISPLAY=$display xprop -root >/dev/null 2>&1 && break
  sleep 0.1
done
HOME=$home DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/quillix" >"$home/output" 2>&1 & program=$!

titleOf() { DISPLAY=$display xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
waitFor() {
  local id
  for _ in $(seq 100); do
    id=$(DISPLAY=$display xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.2
  done
}

main=$(waitFor '^Quillix')
[ -n "$main" ] || { echo "FAIL: the main window did not appear"; tail -n 20 "$home/output"; exit 1; }
[ "$(titleOf "$main")" = "Quillix" ] || { echo "FAIL: main window title '$(titleOf "$main")'"; exit 1; }
sleep 2
DISPLAY=$display xdotool windowfocus --sync "$main" key --clearmodifiers alt+c
statistics=$(waitFor 'File Statistics')
[ -n "$statistics" ] || { echo "FAIL: the statistics window did not appear"; exit 1; }
title=$(titleOf "$statistics")
[ "$title" = "File Statistics Not Yet Collected" ] || { echo "FAIL: statistics window title '$title'"; exit 1; }
echo "1 passed, 0 failed"
