#!/usr/bin/env bash
# Runs each fuzzer of a KESTRO_FUZZ build for a bounded time.
#   tests/fuzz/run_fuzzers.sh BUILD_DIR SECONDS [HARNESS...]
# Seeds: the shared test data of the harness's format, the inputs kept in
# tests/data/fuzz/<harness>/, and for .kes and operator text a few of the
# project's own. New inputs go to BUILD_DIR/fuzz-corpus/<harness>, reports
# and crashing inputs to BUILD_DIR/fuzz-artifacts/<harness>/: the source tree
# is never written. Every harness runs; the exit status is non-zero when any
# of them reported a crash, a sanitizer error, a timeout or a leak.
set -uo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="$(cd "${1:?build directory}" && pwd)"
seconds="${2:?seconds per harness}"
shift 2
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(kes shelx_ins shelx_lst cif powdercell lazy_pulverix operators)
shared="$source_dir/../shared/testdata"

seeds_of() {
  case "$1" in
    kes) echo "$build_dir/fuzz-seeds/kes" ;;
    shelx_ins | shelx_lst) echo "$shared/shelx" ;;
    cif) echo "$shared/cif" ;;
    powdercell) echo "$shared/cel" ;;
    lazy_pulverix) echo "$shared/lzy" ;;
    operators) echo "$build_dir/fuzz-seeds/operators" ;;
  esac
}
dict_of() {
  case "$1" in
    shelx_ins | shelx_lst) echo shelx ;;
    cif) echo cif ;;
    powdercell | lazy_pulverix) echo powder ;;
    operators) echo operators ;;
  esac
}

mkdir -p "$build_dir/fuzz-seeds/kes" "$build_dir/fuzz-seeds/operators"
cp "$source_dir"/tests/data/*.kes "$source_dir"/examples/*.kes "$build_dir/fuzz-seeds/kes/"
n=0
for op in 'X,Y,Z' '-X,0.5+Y,0.5-Z' "'-x+1/2, y, -z+1/2'" 'x-y,-y,-z+1/3' 'Y-X,-X,Z+2/3' '1/4+Y,-X+3/4,Z+1/4' '-Z,-X+.5,Y'; do
  n=$((n + 1))
  printf '%s' "$op" > "$build_dir/fuzz-seeds/operators/op$n"
done

failed=()
for harness in "${harnesses[@]}"; do
  fuzzer="$build_dir/fuzz_$harness"
  corpus="$build_dir/fuzz-corpus/$harness"
  artifacts="$build_dir/fuzz-artifacts/$harness"
  mkdir -p "$corpus" "$artifacts"
  dirs=("$corpus")
  seeds="$(seeds_of "$harness")"
  if [ -d "$seeds" ]; then dirs+=("$seeds"); else echo "fuzz_$harness: no seeds in $seeds"; fi
  [ -d "$source_dir/tests/data/fuzz/$harness" ] && dirs+=("$source_dir/tests/data/fuzz/$harness")
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$artifacts/")
  dict="$(dict_of "$harness")"
  [ -n "$dict" ] && options+=(-dict="$source_dir/tests/fuzz/$dict.dict")
  echo "== fuzz_$harness for ${seconds}s"
  "$fuzzer" "${options[@]}" "${dirs[@]}" > "$build_dir/fuzz-$harness.log" 2>&1
  status=$?
  grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED)' "$build_dir/fuzz-$harness.log" | tail -n 1
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$build_dir/fuzz-$harness.log"
  echo "corpus: $(find "$corpus" -type f | wc -l) new inputs in $corpus"
  if [ "$status" -ne 0 ]; then
    failed+=("fuzz_$harness")
    echo "fuzz_$harness FAILED (exit $status); its report:"
    grep -v -E '^#[0-9]+[[:space:]]' "$build_dir/fuzz-$harness.log" | tail -n 60
    echo "inputs: $(ls "$artifacts")"
  fi
done

echo "fuzzers: $((${#harnesses[@]} - ${#failed[@]})) passed, ${#failed[@]} failed"
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzers that reported a fault: ${failed[*]}"
  exit 1
fi
