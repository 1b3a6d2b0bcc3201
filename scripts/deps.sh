#!/usr/bin/env bash
# Installs the Debian packages Murmelo needs to build, run and test, when any is missing.
set -euo pipefail
PKGS=(
  build-essential cmake pkg-config git
  libwxgtk3.2-dev libgtk-3-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-tools gstreamer1.0-pulseaudio
  pulseaudio pulseaudio-utils libpulse-dev libasound2-dev libasound2-plugins alsa-utils
  xvfb xdotool x11-utils libx11-dev dbus-x11 xdg-utils
  fonts-dejavu fonts-liberation xchm
  librsvg2-bin imagemagick fp-utils libchm-bin fonts-nanum
  libgtest-dev libgmock-dev libbenchmark-dev
  sox ffmpeg
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}" >&2
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi
