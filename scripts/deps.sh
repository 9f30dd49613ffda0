#!/usr/bin/env bash
# Installs the Debian 12 packages that Rara needs and that are missing.
# Usage: scripts/deps.sh build|test
set -euo pipefail

build_pkgs=(g++ cmake ninja-build qt6-base-dev libgl-dev fonts-liberation2)
test_pkgs=(libgtest-dev libbenchmark-dev libgmp-dev pari-gp libntl-dev libmpfr-dev libmpc-dev poppler-utils xvfb openssl python3-jsonschema pybind11-dev python3-dev clang libclang-rt-14-dev)

pkgs=("${build_pkgs[@]}")
if [[ "${1:-build}" == "test" ]]; then pkgs+=("${test_pkgs[@]}"); fi

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]} == 0)); then exit 0; fi

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
