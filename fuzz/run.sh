#!/bin/bash
# Runs one fuzz target of a ZARVELIN_FUZZ build for a while:
#
#   fuzz/run.sh BUILD TARGET SECONDS [libFuzzer options...]
#
# TARGET is options, module, assets or model. The corpus grows in BUILD/fuzz/corpus-TARGET,
# seeded from fuzz/corpus/TARGET, the inputs that once failed (fuzz/regressions/TARGET) and,
# for the module, assets/velkantoria.mod. An input that fails is written to
# BUILD/fuzz/artifacts/ and the status is not 0. The last line libFuzzer prints, "Done N runs
# in S second(s)", says how many inputs ran.
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 BUILD TARGET SECONDS [libFuzzer options...]" >&2; exit 2; }
build=$(cd "$1" && pwd)
target=$2
seconds=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
program="$build/fuzz/fuzz_$target"
[ -x "$program" ] || { echo "$0: no $program (configure with CXX=clang++ -DZARVELIN_FUZZ=ON)" >&2; exit 2; }

corpus="$build/fuzz/corpus-$target"
artifacts="$build/fuzz/artifacts"
mkdir -p "$corpus" "$artifacts"
cp -n "$here/corpus/$target"/* "$corpus"/
if [ -d "$here/regressions/$target" ]; then cp -n "$here/regressions/$target"/* "$corpus"/; fi
if [ "$target" = module ]; then cp -n "$here/../assets/velkantoria.mod" "$corpus"/; fi
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1
         -artifact_prefix="$artifacts/$target-")
if [ -f "$here/$target.dict" ]; then options+=(-dict="$here/$target.dict"); fi
exec "$program" "${options[@]}" "$@" "$corpus"
