#!/usr/bin/env bash
# Installs, on a Debian machine, whatever the build, the run and the tests need
# and is not there yet. Idempotent: with everything present it only checks.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix  # the cross compiler (posix thread model)
  wine64 wine                 # runs the exe and its tests
  xvfb x11-utils              # a display when there is none; xdpyinfo to wait for it
  xdotool                     # finds the program's window for screenshots
  fonts-wqy-microhei          # Chinese face behind "宋体"/"SimSun"
  fonts-dejavu-core fonts-liberation  # Latin faces behind "Verdana"/"Tahoma"
  cmake ninja-build clang libclang-rt-14-dev  # build; sanitizers and libFuzzer
  googletest                  # GoogleTest sources, built for both targets
  python3                     # the sample price site
  openssl                     # the TLS tests make their own certificate authority
  imagemagick                 # screenshots and contact sheets
  wixl msitools               # the Windows installer (cmake --build --preset windows --target package)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
