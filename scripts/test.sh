#!/usr/bin/env bash
# Installs what is missing, checks that includes follow the dependencies, then
# builds and runs every test three ways: a plain
# build, an address + undefined-behaviour sanitizer build, and a thread
# sanitizer build of the tests that cross threads (label "threads").
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=$(nproc)
run_ctest() {
  local dir=$1
  shift
  (cd "$dir" && ctest --output-on-failure -j "$jobs" "$@")
}

echo "== include directions"
./scripts/check-includes.sh

echo "== plain build"
./scripts/build.sh build
run_ctest build

echo "== address + undefined sanitizers"
./scripts/build.sh build-asan -DVIZOR_SANITIZE="address;undefined" -DVIZOR_BUILD_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Debug
run_ctest build-asan

echo "== thread sanitizer"
./scripts/build.sh build-tsan -DVIZOR_SANITIZE=thread -DVIZOR_BUILD_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Debug
run_ctest build-tsan -L threads
