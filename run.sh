#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player: ./run.sh [--xvfb] [file]
# Without a file it opens a short demo clip with subtitles, made once in build/demo.
# With --xvfb and no X display it runs on a virtual one (xvfb-run), e.g. for a smoke test.
set -euo pipefail
cd "$(dirname "$0")"
use_xvfb=0
if [ "${1:-}" = "--xvfb" ]; then
  use_xvfb=1
  shift
fi
./scripts/install-deps.sh
# Configure once; after that the build reconfigures itself when a CMake file changes.
[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$(nproc)"

make_demo() {
  local clip=$1
  mkdir -p "$(dirname "$clip")"
  # Ten seconds of colour bars and a quiet tone; written under another name first, so an
  # interrupted run never leaves half a clip that looks made.
  gst-launch-1.0 -q -e \
    videotestsrc num-buffers=250 pattern=smpte ! video/x-raw,width=640,height=360,framerate=25/1 \
      ! jpegenc ! queue ! avimux name=mux ! filesink location="$clip.part" \
    audiotestsrc num-buffers=250 samplesperbuffer=1764 volume=0.1 \
      ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! queue ! mux.
  cat >"${clip%.avi}.srt" <<'SRT'
1
00:00:00,500 --> 00:00:04,000
Welcome to Kalvor

2
00:00:04,500 --> 00:00:09,500
Subtitles beside a clip are loaded with it
SRT
  mv "$clip.part" "$clip"
}

args=("$@")
if [ ${#args[@]} -eq 0 ]; then
  demo="$PWD/build/demo/kalvor-demo.avi"
  [ -s "$demo" ] || make_demo "$demo"
  args=("$demo")
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  if [ "$use_xvfb" = 1 ]; then
    if ! command -v xvfb-run >/dev/null; then
      echo "run.sh: xvfb-run is missing; install the xvfb package" >&2
      exit 1
    fi
    exec xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/Kalvor "${args[@]}"
  fi
  echo "run.sh: Kalvor needs an X display: run it in a desktop session (DISPLAY set)," >&2
  echo "        or './run.sh --xvfb [file]' to start it on a virtual X server with xvfb-run." >&2
  exit 1
fi
exec build/bin/Kalvor "${args[@]}"
