# SPDX-License-Identifier: MIT
# Shared by the scripts: the project root, package installation, the builds and the fuzz runs.
# shellcheck shell=bash

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Debian packages every build needs (giflib for --record, terminfo for --terminal, Qt 6 Widgets and Xlib
# for the window, Qt's Designer and UiTools modules for the Designer plugin and the demo's .ui forms; Qt Quick
# with the QML modules the module Glimmer and examples/sign.qml import at run time, and Qt's qml tool that
# runs the example; Debian's Python 3 with its headers, PyQt6 with its .sip files, sip and PyQt-builder, and
# Qt's qmake that PyQt-builder asks, for the Python module glimmer; dpkg-dev's dpkg-shlibdeps for the Debian
# packages' dependencies, and Doxygen for the API reference).
BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config dpkg-dev doxygen
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libgif-dev libcli11-dev libtomlplusplus-dev libncurses-dev
  qt6-base-dev libx11-dev qt6-tools-dev libqt6uitools6
  qt6-declarative-dev qml6-module-qtqml-workerscript qml6-module-qtquick
  qml6-module-qtquick-window qml-qt6
  python3 python3-dev python3-pyqt6 pyqt6-dev sip-tools python3-pyqtbuild qmake6)

# What the tests need besides: a virtual X server, screenshots, window lookup, a terminal emulator library
# and tmux to read the terminal mode back, the end-to-end tests' interpreter, and Qt Quick Test's QML side;
# Qt Designer itself (qt6-tools-dev-tools) for scripts/docs' pictures of the plugin at work; pytest, PyQt6's
# uic (pyqt6-dev-tools) and its QML modules for the Python module's tests.
TEST_PACKAGES=(xvfb imagemagick xdotool libvterm-dev tmux python3 qml6-module-qttest qt6-tools-dev-tools
  python3-pytest pyqt6-dev-tools python3-pyqt6.qtqml python3-pyqt6.qtquick)

# What scripts/bench needs besides: a virtual X server for the idle cost and the walls of signs, gifsicle, the
# optimiser whose output the recorder's GIFs are measured against, and gnuplot for the plot of the walls.
BENCH_PACKAGES=(xvfb python3 gifsicle gnuplot-nox)

# The sanitizer and fuzzing build: clang 14 with its sanitizer runtimes and libFuzzer.
SANITIZER_PACKAGES=(clang-14 libclang-rt-14-dev)

# Sanitizer reports end the process with an error; leaks are reported at exit.
export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
# What system libraries keep until exit is not a leak of this project's (scripts/lib/lsan.supp).
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$ROOT/scripts/lib/lsan.supp:print_suppressions=0}"

# Installs the packages that are missing (apt-get update first; root or sudo).
ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir="$1"
  shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}

# run_tests BUILD_DIR REPORT_DIR [ctest options...]: the build's tests, their counts written to REPORT_DIR.
run_tests() {
  local build="$1" reports="$2"
  shift 2
  rm -rf "$reports"
  mkdir -p "$reports"
  GLIMMER_REPORT_DIR="$reports" ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "$@"
}

# report_counts REPORT_DIR LABEL: one line of what the reliability tests counted.
report_counts() {
  local reports="$1" label="$2"
  if [ -f "$reports/faults.txt" ]; then
    echo "$label: $(awk '{ s += $NF } END { print s + 0 }' "$reports/faults.txt") faults injected by the fault matrix"
  fi
  if [ -f "$reports/bad_files.txt" ]; then
    # "<kind> <count>" lines: the total, and the count of each kind.
    echo "$label: $(awk '{ kind = $0; sub(/ [0-9]+$/, "", kind); n[kind] += $NF } END { for (k in n) print k, n[k] }' \
      "$reports/bad_files.txt" | sort |
      awk '{ all += $NF; list = list (NR > 1 ? ", " : "") $0 } END { print all " bad files tried (" list ")" }')"
  fi
  if [ -f "$reports/soak.txt" ]; then
    sed "s/^/$label: /" "$reports/soak.txt"
  fi
  return 0
}

# The fuzz step of scripts/test gives the same verdict for the same commit on every machine: each target
# starts from its committed inputs, in a fixed order, with a fixed seed, and stops after a fixed number of
# runs (about a minute each on 2 cores). Nothing else steers it: the fuzz build's coverage depends on the
# input and not on where things are loaded (CMakeLists.txt); libFuzzer does not reread its corpus folder by
# the clock (-reload=0); the values compared in the code, among them addresses, are not fed back into the
# mutations (-use_cmp=0); and each fuzzer starts in the same surroundings whatever the machine and the
# folder of the clone: the same environment, the same relative paths, no address-space randomisation.
# scripts/fuzz explores with random seeds and every aid, for as long as it is asked.
FUZZ_SEED=20261208
declare -A FUZZ_RUNS=([form_description]=400000 [restore]=60000 [sequence]=16000)

# The fuzz build: libFuzzer targets under the sanitizers, and nothing else.
build_fuzzers() {
  configure_and_build "$ROOT/build/fuzzers" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGLIMMER_WERROR=ON -DGLIMMER_SANITIZE=ON -DGLIMMER_FUZZ=ON -DGLIMMER_TESTS=OFF -DGLIMMER_BENCH=OFF \
    -DGLIMMER_QT=OFF -DGLIMMER_TERMINAL=OFF
}

# fuzz_inputs NAME: the committed inputs of a target (seed corpus, then regressions), comma-separated, in
# the order of their names, relative to the root.
fuzz_inputs() {
  local name="$1"
  (cd "$ROOT" && find "fuzz/corpus/$name" "fuzz/regressions/$name" -type f 2>/dev/null | LC_ALL=C sort | paste -sd,)
}

# finish_fuzzer NAME PID WHAT: waits for one fuzzer and says how it went; fails when it found something.
finish_fuzzer() {
  local name="$1" pid="$2" what="$3"
  local log="$ROOT/build/fuzz/$name/log"
  if wait "$pid"; then
    local runs rate reached
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    # What the run reached: edges, features and corpus size, the same on every machine for "ci".
    reached=$(sed -n 's/^#[0-9]*[[:space:]]*DONE *cov: \([0-9]*\) ft: \([0-9]*\) corp: \([0-9]*\).*/\1 edges, \2 features, \3 inputs kept/p' "$log")
    echo "fuzz $name: ${runs:-?} runs ($what), ${reached:-?}, ${rate:-?} executions per second, no crash"
  else
    echo "fuzz $name: FAILED ($what); the input is in build/fuzz/$name/crashes/ (fix it and commit the input" \
      "to fuzz/regressions/$name/)"
    tail -n 40 "$log"
    return 1
  fi
}

# run_fuzzers ci | SECONDS: every fuzz target of the fuzz build, as many side by side as there
# are processors, so that each has one to itself. "ci" runs each from its committed inputs with FUZZ_SEED for
# FUZZ_RUNS[target] runs; SECONDS runs each for that long with a random seed. A crash keeps its input in
# build/fuzz/<target>/crashes/ and fails.
run_fuzzers() {
  local mode="$1" failed=0 target name pids=() names=() whats=() finished=0
  for target in "$ROOT"/build/fuzzers/fuzz/fuzz_*; do
    name="${target##*/fuzz_}"
    local work="$ROOT/build/fuzz/$name"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/crashes"
    # A target's words, where it has them: fuzz/<target>.dict.
    local dict=()
    [ -f "$ROOT/fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
    local how=() what
    if [ "$mode" = ci ]; then
      local runs="${FUZZ_RUNS[$name]:-10000}"
      how=(-seed="$FUZZ_SEED" -runs="$runs" -reload=0 -use_cmp=0 -seed_inputs="$(fuzz_inputs "$name")")
      what="seed $FUZZ_SEED"
    else
      how=(-max_total_time="$mode")
      find "$ROOT/fuzz/corpus/$name" "$ROOT/fuzz/regressions/$name" -type f -exec cp {} "$work/corpus/" \; \
        2>/dev/null || true
      what="$mode s, random seed"
    fi
    (cd "$ROOT" && fixed_surroundings "$mode" "${target#"$ROOT"/}" "${how[@]}" -timeout=60 -rss_limit_mb=2048 \
      -max_len=1024 -print_final_stats=1 "${dict[@]}" -artifact_prefix="${work#"$ROOT"/}/crashes/" \
      "${work#"$ROOT"/}/corpus" >"$work/log" 2>&1) &
    pids+=($!)
    names+=("$name")
    whats+=("$what")
    if [ $((${#pids[@]} - finished)) -ge "$(nproc)" ]; then
      finish_fuzzer "${names[$finished]}" "${pids[$finished]}" "${whats[$finished]}" || failed=1
      finished=$((finished + 1))
    fi
  done
  for ((; finished < ${#pids[@]}; finished++)); do
    finish_fuzzer "${names[$finished]}" "${pids[$finished]}" "${whats[$finished]}" || failed=1
  done
  return "$failed"
}

# fixed_surroundings ci|SECONDS COMMAND...: for "ci", COMMAND in a fixed environment (the sanitizers'
# options, a plain PATH) without address-space randomisation, where the system allows it; else as it is.
fixed_surroundings() {
  local mode="$1"
  shift
  [ "$mode" = ci ] || { "$@"; return; }
  local no_aslr=()
  setarch "$(uname -m)" -R true 2>/dev/null && no_aslr=(setarch "$(uname -m)" -R)
  env -i PATH=/usr/bin:/bin LC_ALL=C \
    ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1" \
    UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    LSAN_OPTIONS="suppressions=scripts/lib/lsan.supp:print_suppressions=0" "${no_aslr[@]}" "$@"
}
