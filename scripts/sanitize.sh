#!/usr/bin/env bash
# Builds the headless and Qt test suites with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ and runs them; any sanitizer report or failing test ends it non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -O1"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
targets=(molvane_tests molvane_qt_tests)
if pkg-config --exists libdc1394-2; then targets+=(molvane_iidc_tests); fi
cmake --build build-asan -j2 --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1

build-asan/tests/molvane_tests
if [ -x build-asan/tests/molvane_iidc_tests ]; then build-asan/tests/molvane_iidc_tests; fi
# Settings and the single-instance lock of a home of its own, so a Molvane running meanwhile
# neither blocks the suite nor has its settings changed by it.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/home" "$scratch/runtime"
HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" QT_QPA_PLATFORM=offscreen \
  build-asan/tests/molvane_qt_tests
