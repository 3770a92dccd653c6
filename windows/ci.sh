#!/bin/bash
# CI's Windows step (windows/ci.sh NATIVE [BUILD]): builds the zip into BUILD (default
# build-windows) and checks what is in it under Wine against the native build in NATIVE
# (its zarvelin-capture): frames of every part byte for byte and the show hash, ffmpeg.exe
# started with the frames piped in, the module found beside the program in a folder with
# letters outside ASCII, the window in Xvfb for 5 s (not black), full screen, and a
# failure's message box.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=$(cd "${1:?usage: windows/ci.sh NATIVE [BUILD]}" && pwd)
out=${2:-$root/build-windows}
start=$SECONDS

export DEBIAN_FRONTEND=noninteractive
apt-get install -y --no-install-recommends wine wine64 xvfb xauth x11-apps x11-utils xdotool python3 >/dev/null
"$root/windows/build.sh" "$out" -DZARVELIN_WERROR=ON
out=$(cd "$out" && pwd)
echo "windows: zip built in $((SECONDS - start)) s"

fail() {
  echo "windows: FAILED: $*" >&2
  exit 1
}

# The zip: at most 8 MB, the files a user needs, executables needing only Windows' own DLLs
# and the SDL.dll beside them.
zip=$(ls "$out"/zarvelin-*-win64.zip)
size=$(stat -c %s "$zip")
[ "$size" -le $((8 * 1024 * 1024)) ] || fail "$zip is $size bytes"
rm -rf "$out/unpacked" && mkdir -p "$out/unpacked"
python3 -m zipfile -e "$zip" "$out/unpacked"
app=$(ls -d "$out"/unpacked/zarvelin-*-win64)
for file in zarvelin.exe zarvelin-capture.exe SDL.dll velkantoria.mod README.txt LICENSE.txt licenses/SDL.txt \
  licenses/libopenmpt.txt licenses/libpng.txt licenses/zlib.txt licenses/mingw-w64.txt licenses/gcc-runtime.txt \
  licenses/DejaVu-fonts.txt; do
  [ -s "$app/$file" ] || fail "the zip has no $file"
done
for exe in zarvelin.exe zarvelin-capture.exe SDL.dll; do
  x86_64-w64-mingw32-objdump -p "$app/$exe" | sed -n 's/^\s*DLL Name: //p' | while read -r dll; do
    case "${dll,,}" in
      kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | winmm.dll | msvcrt.dll | sdl.dll) ;;
      *) fail "$exe needs $dll" ;;
    esac
  done
done
echo "windows: $(basename "$zip"), $size bytes"

export WINEPREFIX=$out/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
winepath() { echo "Z:${1//\//\\}"; }

# Frames at a quarter, half and three quarters of every part, byte for byte.
"$native/zarvelin-capture" --list --quiet >"$out/frames.list"
at=$(awk '$1 == "frame" { p = $4; t = $6; if (!(p in first)) first[p] = t; last[p] = t }
  END { for (p in first) for (k = 1; k <= 3; k++)
          s = s (s == "" ? "" : ",") p ":" int((first[p] + (last[p] - first[p]) * k / 4) / 20) * 20
        print s }' "$out/frames.list")
parts=$(echo "$at" | tr ',' '\n' | cut -d: -f1 | sort -u | tr '\n' ' ')
[ "$parts" = "0 1 2 3 4 5 6 8 " ] || fail "the show's parts are $parts"
rm -rf "$out/frames-linux" "$out/frames-windows"
"$native/zarvelin-capture" --step 20 --at "$at" --out "$out/frames-linux" --quiet >/dev/null
(cd "$app" && wine zarvelin-capture.exe --step 20 --at "$at" --out "$(winepath "$out/frames-windows")" --quiet) >/dev/null
count=0
for raw in "$out"/frames-linux/*.raw; do
  cmp "$raw" "$out/frames-windows/$(basename "$raw")" || fail "frame $(basename "$raw") differs"
  count=$((count + 1))
done
[ "$count" -ge 20 ] || fail "only $count frames compared"
echo "windows: $count frames of parts $parts identical"

hash_linux=$("$native/zarvelin-capture" --bench --quiet | sed -n 's/.*show_hash //p')
hash_windows=$(cd "$app" && wine zarvelin-capture.exe --bench --quiet | tr -d '\r' | sed -n 's/.*show_hash //p')
[ -n "$hash_linux" ] && [ "$hash_linux" = "$hash_windows" ] || fail "show_hash $hash_windows, on Linux $hash_linux"
echo "windows: show_hash $hash_windows as on Linux"

# --video: ffmpeg.exe from PATH (a stand-in that records what reaches it), a file name with
# a space; without it, a plain message and status 1.
mkdir -p "$out/fake-ffmpeg"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -Werror -static \
  -o "$out/fake-ffmpeg/ffmpeg.exe" "$root/windows/tests/fake_ffmpeg.cpp"
rm -rf "$out/video dir" && mkdir -p "$out/video dir"
video=$(winepath "$out/video dir/the show.mp4")
message=$(cd "$app" && wine zarvelin-capture.exe --until 100 --quiet --video "$video" 2>&1) && fail "--video ran without ffmpeg.exe"
[[ "$message" == *"--video needs ffmpeg.exe, which is not installed (not found on PATH)"* ]] || fail "without ffmpeg.exe: $message"
(cd "$app" && WINEPATH=$(winepath "$out/fake-ffmpeg") wine zarvelin-capture.exe --step 20 --until 100 --quiet --video "$video") >/dev/null
[ "$(ls "$out/video dir")" = "the show.mp4" ] || fail "--video left $(ls "$out/video dir")"
record=$(cat "$out/video dir/the show.mp4")
[[ "$record" == "mux "*"[-i] [$video.frames.mkv] [-i] [$video.sound.wav]"*" [$video.partial]"$'\n'* ]] ||
  fail "ffmpeg.exe muxed with other arguments: $record"
grep -q "^frames 1536000 .*\[pipe:0\]" "$out/video dir/the show.mp4" || fail "ffmpeg.exe did not get 5 frames"
echo "windows: --video runs ffmpeg.exe from PATH and feeds it every frame"

# Started from elsewhere, the program finds the module beside itself, in a folder whose
# name has letters outside ASCII.
away="$WINEPREFIX/drive_c/Zärvelin Démo"
rm -rf "$away" && cp -r "$app" "$away"
(cd "$out" && WINEPATH=$(winepath "$out/fake-ffmpeg") wine "$away/zarvelin-capture.exe" --until 40 --quiet \
  --video "$(winepath "$out/video dir/away.mp4")") >/dev/null || fail "the module beside the program was not found"
echo "windows: the module is found beside the program in \"$(basename "$away")\""

# The window program in Xvfb: a window that is not black after 5 s, still playing; full
# screen; without its module, the message in a box and exit status 1 once it is closed.
display=
for n in $(seq 90 99); do
  if [ ! -e "/tmp/.X$n-lock" ]; then display=:$n && break; fi
done
[ -n "$display" ] || fail "no free X display number"
Xvfb "$display" -screen 0 1024x768x24 -noreset >"$out/xvfb.log" 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
# The Wine session of the runs above has no display: a new one starts on this one.
wineserver -k 2>/dev/null || true
for _ in $(seq 1 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.2; done
unset SDL_VIDEODRIVER

# Waits up to 60 s for a window titled "Zarvelin PC" and prints its id: the program's own
# 640 x 480 window ($1 = window), the whole screen (full screen), or another one (box).
find_window() {
  local id
  for _ in $(seq 1 120); do
    id=$(xwininfo -root -tree | awk -v want="$1" '/"Zarvelin PC"/ {
      kind = / 640x480[+]/ ? "window" : / 1024x768[+]/ ? "screen" : "box"
      if (kind == want) { print $1; exit } }')
    if [ -n "$id" ]; then echo "$id" && return; fi
    sleep 0.5
  done
  fail "no $1 \"Zarvelin PC\" appeared"
}

(cd "$app" && exec wine zarvelin.exe) >"$out/window.log" 2>&1 &
program=$!
window=$(find_window window)
sleep 5
kill -0 $program 2>/dev/null || fail "zarvelin.exe ended within 5 s: $(cat "$out/window.log")"
xwd -id "$window" -silent >"$out/window.xwd"
python3 "$root/windows/xwd_picture.py" "$out/window.xwd" --png "$out/window.png" || fail "the window is black"
wineserver -k
wait $program || true
echo "windows: zarvelin.exe played 5 s in its window ($out/window.png)"

# Full screen (any argument): Xvfb offers no 320 x 240 mode, only its own 1024 x 768, so the
# picture fills it at 3x, 960 x 720 in the middle, black around it.
(cd "$app" && exec wine zarvelin.exe full) >"$out/full-screen.log" 2>&1 &
program=$!
find_window screen >/dev/null
sleep 5
kill -0 $program 2>/dev/null || fail "zarvelin.exe full ended within 5 s: $(cat "$out/full-screen.log")"
xwd -root -silent >"$out/full-screen.xwd"
python3 "$root/windows/xwd_picture.py" "$out/full-screen.xwd" --centre 960x720 --png "$out/full-screen.png" ||
  fail "full screen does not show the picture in the middle"
wineserver -k
wait $program || true
echo "windows: zarvelin.exe full played 5 s full screen ($out/full-screen.png)"

rm -rf "$out/no-module" && mkdir -p "$out/no-module"
cp "$app/zarvelin.exe" "$app/SDL.dll" "$out/no-module"
(cd "$out/no-module" && exec wine zarvelin.exe) >"$out/no-module.log" 2>&1 &
program=$!
box=$(find_window box)
x=$(xwininfo -id "$box" | awk '/Absolute upper-left X/ { print $4 }')
y=$(xwininfo -id "$box" | awk '/Absolute upper-left Y/ { print $4 }')
xwd -id "$box" -silent | python3 "$root/windows/xwd_picture.py" - --png "$out/message-box.png" >/dev/null ||
  fail "the message box is blank"
xdotool mousemove $((x + 20)) $((y + 20)) click 1
sleep 0.5
xdotool key Return
status=0
for _ in $(seq 1 40); do
  kill -0 $program 2>/dev/null || break
  sleep 0.5
done
kill -0 $program 2>/dev/null && { wineserver -k; fail "the message box did not close"; }
wait $program || status=$?
[ "$status" -eq 1 ] || fail "without its module zarvelin.exe ended with status $status"
grep -q "^File not found" "$out/no-module.log" || fail "without its module: $(cat "$out/no-module.log")"
echo "windows: without its module, \"File not found\" in a message box and status 1"
echo "windows: all checks passed in $((SECONDS - start)) s"
