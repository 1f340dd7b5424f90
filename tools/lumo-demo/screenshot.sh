#!/usr/bin/env bash
# Takes docs/screenshots/lumo-demo.png: the demo dialog on an X server of its own,
# with the pointer over the close button and an upload under way.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
out=$root/docs/screenshots/lumo-demo.png
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 640x400x24" bash -c "
  SDL_VIDEODRIVER=x11 '$build/program/lumo_demo' --close-after 3000 --hover 495,23 &
  demo=\$!
  sleep 2
  '$build/tools/lumo_xshot' '$out' 60 50 520 300
  wait \$demo"
echo "$out"
