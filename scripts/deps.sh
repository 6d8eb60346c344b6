#!/usr/bin/env bash
# Installs the Debian 12 packages Lumetra builds and runs with (sudo when not root), and any
# further packages named as arguments.
set -euo pipefail
packages=(build-essential cmake ninja-build ccache pkg-config qt6-base-dev libqt6dbus6 libsqlite3-dev
          libgtest-dev libgmock-dev fonts-wqy-microhei dbus dbus-x11 xvfb xauth dpkg-dev file "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
