#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  qt6-base-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libglx-mesa0
  libegl-dev libegl-mesa0
  # lupdate/lrelease and their CMake functions; Qt's own Korean texts
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  nlohmann-json3-dev libtinygltf-dev libstb-dev zlib1g-dev
  # 3MF; lib3MF.pc names libzip for linking
  lib3mf-dev libzip-dev
  fonts-baekmuk
  xvfb xauth x11-utils imagemagick xdotool
)
if [ "${1:-}" = test ]; then
  packages+=(libgtest-dev libbenchmark-dev)
  # The export's whole-process comparison with numpy (bench/compare).
  packages+=(hyperfine python3-numpy)
  # Independent checkers of the export files; the glTF validator comes from
  # npm (test.sh), run by node.
  packages+=(admesh python3-meshio nodejs)
  # The installation checked as a desktop sees it: the desktop entry
  # validator, pyxdg's icon theme lookup and the hicolor theme it searches.
  packages+=(desktop-file-utils python3-xdg hicolor-icon-theme)
  # The program on Wayland: a headless compositor and Qt's Wayland platform.
  packages+=(weston qt6-wayland)
  # Debian's npm only where no npm came with the machine's Node.js.
  command -v npm >/dev/null 2>&1 || packages+=(npm)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
