#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the game need, when any is missing.
set -euo pipefail
list="$(dirname "$0")/debian-packages.txt"
missing=()
while read -r package; do
  [ -z "$package" ] && continue
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done <"$list"
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
