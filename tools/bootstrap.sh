#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages; does nothing when all is there.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
         mingw-w64-tools fp-utils-3.2.2 wine64 xvfb xauth googletest python3 imagemagick; do
  have "$p" || need+=("$p")
done
# The shipped build is 32-bit: its tests run under 32-bit Wine.
have wine32:i386 || need+=(wine32:i386)
if [ ${#need[@]} -eq 0 ]; then exit 0; fi
sudo_=""
[ "$(id -u)" -eq 0 ] || sudo_="sudo"
export DEBIAN_FRONTEND=noninteractive
if [[ " ${need[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo_ dpkg --add-architecture i386
fi
$sudo_ apt-get update -q
$sudo_ apt-get install -y -q --no-install-recommends "${need[@]}"
