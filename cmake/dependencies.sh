#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building and testing need, and only those
# that are missing (as root, or through sudo). Both commands of the README run
# it first; pass --list to print the packages instead.
set -euo pipefail
python_version=$(/usr/bin/python3 -c 'import sys; print("%d.%d" % sys.version_info[:2])' 2>/dev/null ||
  echo 3.11)
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev googletest libbenchmark-dev patch
  python3 python3-dev pybind11-dev python3-pybind11 python3-pytest python3-hypothesis
  "libpython$python_version-testsuite" python3-venv python3-setuptools python3-wheel python3-numpy python3-pandas
  python3-distributed)
if [[ ${1:-} == --list ]]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
((${#missing[@]})) || exit 0
echo "installing: ${missing[*]}"
sudo=()
((EUID == 0)) || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
for attempt in 1 2 3; do  # a mirror in the middle of a sync fails now and then
  "${sudo[@]}" apt-get update -qq && break
  sleep 20
done
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
