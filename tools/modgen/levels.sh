#!/bin/sh
# Renders the module to WAV and prints the level of every section (RMS, peak, clipped samples).
#   tools/modgen/levels.sh [module] [work dir]
set -e
mod=${1:-assets/velkantoria.mod}
dir=${2:-/tmp/velkantoria-levels}
mkdir -p "$dir"
cp "$mod" "$dir/m.mod"
openmpt123 --render --no-float --samplerate 44100 --stereo 40 --force -q "$dir/m.mod" >/dev/null 2>&1
wav="$dir/m.mod.wav"
bar=$(echo "scale=6; 16*6*2.5/143" | bc)
start=0
for sec in "intro 8" "stars 24" "tunnel 16" "julia 16" "julia+balls 16" "plasma-face 32" "plasma-cube 8" "water 16"; do
    set -- $sec
    s=$(echo "$start*$bar" | bc); d=$(echo "$2*$bar" | bc)
    stats=$(sox "$wav" -n trim "$s" "$d" stat 2>&1)
    rms=$(echo "$stats" | awk '/RMS     amplitude/ {print $3}')
    peak=$(echo "$stats" | awk '/Maximum amplitude/ {print $3}')
    vol=$(echo "$stats" | awk '/Volume adjustment/ {print $3}')
    clip=$(sox "$wav" -n trim "$s" "$d" stats 2>&1 | awk '/Pk count/ {print $3}')
    printf "%-12s %6.1fs +%5.1fs  rms %s  peak %s  (headroom x%s, peak count %s)\n" "$1" "$s" "$d" "$rms" "$peak" "$vol" "$clip"
    start=$((start + $2))
done
