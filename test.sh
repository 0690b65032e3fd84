#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   ./test.sh          normal build in build/
#   ./test.sh --asan   AddressSanitizer + UBSan build in build-asan/
#   ./test.sh --tsan   ThreadSanitizer build in build-tsan/
#   ./test.sh --lint [all]   clang-format check and clang-tidy (tools/lint) on build/
# Further arguments go to ctest (for example -L unit, -R DataFile). The
# benchmarks (label bench) run only when asked for: ./test.sh -L bench.
set -euo pipefail
cd "$(dirname "$0")"

sanitize=none
build=build
gui=ON
lint=
case "${1:-}" in
  --lint) lint=1; shift ;;
  --asan) sanitize=asan; build=build-asan; shift ;;
  --tsan)
    sanitize=tsan; build=build-tsan; gui=OFF; shift
    # Debian's Qt is not built for ThreadSanitizer: the threads Qt starts for
    # itself (image scaling, fonts) hand data over with locks it cannot see.
    # The threads of our own (sweep workers, probes, notifications) run in the
    # core's unit and lab tests, so this build is the core without widgets.
    ;;
esac

tools/install-deps
cmake -S . -B "$build" -G Ninja -DVANTREL_SANITIZE="$sanitize" -DVANTREL_GUI="$gui" >/dev/null
cmake --build "$build" -j2
if [[ -n $lint ]]; then
  exec tools/lint "$build" "$@"
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp"
[ "$(id -u)" -eq 0 ] || echo "Not root: the lab tests will be skipped (they need network namespaces)."
cd "$build"
bench=bench
for a in "$@"; do [[ $a == -L ]] && bench=; done
select=()
[[ -z $bench ]] || select=(-LE "$bench")
ctest --output-on-failure -j2 "${select[@]}" "$@"
