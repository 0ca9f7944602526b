#!/usr/bin/env bash
# Builds the concurrency-heavy tests with ThreadSanitizer in build-tsan/ and runs them: the frame
# queue, the writer and recorder queues, acquisition start/stop and the component's streaming
# with simulated cameras, and Aravis streaming and camera faults against the fake GigE camera.
# Any race report or failing test ends it non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

flags="-fsanitize=thread -fno-omit-frame-pointer -O1"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
targets=(molvane_tests)
if pkg-config --exists aravis-0.8; then targets+=(molvane_aravis_tests); fi
if pkg-config --exists libdc1394-2; then targets+=(molvane_iidc_tests); fi
cmake --build build-tsan -j2 --target "${targets[@]}"

# GLib and Aravis are not instrumented: the suppressions cover races inside them only.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1 suppressions=$PWD/scripts/tsan.supp"

# Tests that measure frame rates against the clock are left out: under ThreadSanitizer a
# full-size test pattern renders, and frames are handed on, too slowly to keep the rates.
build-tsan/tests/molvane_tests \
  --gtest_filter='FrameQueue.*:WriterQueue.*:WriterFolder.*:SimCamera.*:ComponentTest.*-SimCamera.StreamsAtTheSetRate*:SimCamera.TriggerLines*'
# The IEEE 1394 backend's capture thread against its scripted stand-in.
if [ -x build-tsan/tests/molvane_iidc_tests ]; then build-tsan/tests/molvane_iidc_tests; fi
if [ -x build-tsan/tests/molvane_aravis_tests ]; then
  # The fake camera answers on 127.0.0.1, shared with anything else running one.
  flock /tmp/fake_gv_camera.lock build-tsan/tests/molvane_aravis_tests \
    --gtest_filter='AravisBackend.*:*PacketLoss*:ControlLinkWatch.*:CameraFault.*-AravisBackend.FramesArriveAtTheSetRate'
fi
