#!/usr/bin/env bash
# Installs the Debian packages of the named lists that are missing: `run` (building and running,
# scripts/packages-run.txt) and `test` (what testing adds, scripts/packages-test.txt). Without an
# argument both.
set -euo pipefail
cd "$(dirname "$0")"

lists=("$@")
[[ ${#lists[@]} -gt 0 ]] || lists=(run test)
packages=()
for list in "${lists[@]}"; do
    packages+=($(sed 's/#.*//' "packages-$list.txt"))
done

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
