#!/usr/bin/env bash
# Takes docs/screenshots/lumo-demo.png: the demo dialog on an X server of its own,
# with the pointer resting on the close button (its tooltip up) and an upload under way.
# With xcompmgr installed the dialog is shown translucent where its frame is (rounded
# corners); with xdotool the real pointer is moved there, so the tooltip shows as well.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
out=$root/docs/screenshots/lumo-demo.png
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 640x400x24 +extension Composite" bash -c "
  if command -v xcompmgr >/dev/null; then xcompmgr & sleep 1; fi
  SDL_VIDEODRIVER=x11 '$build/program/lumo_demo' --close-after 3500 --hover 495,23 &
  demo=\$!
  sleep 1
  if command -v xdotool >/dev/null; then xdotool mousemove 555 73; fi
  sleep 1.5
  '$build/tools/lumo_xshot' '$out' 40 30 580 340
  wait \$demo"
echo "$out"
