#!/usr/bin/env bash
# Runs a command with a display and a sound server.
#   session.sh [--private] CMD...
# Without --private the user's own display and sound server are used when they answer; whatever is
# missing (or everything, with --private) is brought up privately for the command and stopped after:
# an Xvfb display, and a PulseAudio daemon with a null output "speaker" and a virtual microphone
# "virtual_mic" that records whatever is played into the sink "mic_feed".
set -uo pipefail
private=0
if [ "${1:-}" = "--private" ]; then private=1; shift; fi
[ $# -gt 0 ] || { echo "usage: session.sh [--private] CMD..." >&2; exit 2; }

pids=()
tmpdirs=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  for d in "${tmpdirs[@]}"; do rm -rf "$d"; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

need_x=$private
if [ $need_x -eq 0 ]; then
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then need_x=1; fi
fi
if [ $need_x -eq 1 ]; then
  n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n+1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || { echo "session: Xvfb did not start" >&2; exit 1; }
fi

need_pa=$private
if [ $need_pa -eq 0 ] && ! pactl info >/dev/null 2>&1; then need_pa=1; fi
if [ $need_pa -eq 1 ]; then
  rt=$(mktemp -d /tmp/murmelo-pa.XXXXXX); tmpdirs+=("$rt"); chmod 700 "$rt"
  export XDG_RUNTIME_DIR="$rt"
  export PULSE_RUNTIME_PATH="$rt/pulse"
  export PULSE_STATE_PATH="$rt/state"
  unset PULSE_SERVER
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    --log-target=stderr --log-level=error \
    --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=speaker sink_properties=device.description=Speaker" \
    --load="module-null-sink sink_name=mic_feed sink_properties=device.description=Microphone_Feed" \
    --load="module-remap-source master=mic_feed.monitor source_name=virtual_mic source_properties=device.description=Virtual_Microphone" \
    2>"$rt/pulse.log" &
  pids+=($!)
  for _ in $(seq 1 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl info >/dev/null 2>&1 || { echo "session: PulseAudio did not start" >&2; cat "$rt/pulse.log" >&2; exit 1; }
  pactl set-default-sink speaker >/dev/null 2>&1
  pactl set-default-source virtual_mic >/dev/null 2>&1
fi
export MURMELO_SESSION=1
"$@"
