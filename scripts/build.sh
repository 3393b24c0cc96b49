#!/usr/bin/env bash
# Configures and builds one build folder: build.sh DIR [cmake options...]
# BUILD_TARGET names a single target to build instead of everything.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
ninja -C "$dir" --quiet ${BUILD_TARGET:+"$BUILD_TARGET"}
