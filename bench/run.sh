#!/bin/bash
# Measures the program against the command-line tools that do the same jobs, side by side in one
# run: each case runs alternately with its yardstick for several rounds, and the table shows the
# medians, their ratio and the peak memory of each. Builds a Release copy in build-bench (never
# the test build) and makes every input in a temporary folder, which it removes at the end.
#
#   bench/run.sh [rounds] [case...]   rounds: default 5 (or ROUNDS in the environment); cases:
#                                     x11 gnome rotation settings window (default all)
#   PROGRAM=<file> bench/run.sh ...   times that build of the program in the logon runs instead
#
# Installs what it needs when missing (as root, or through sudo): imagemagick, hsetroot,
# libjpeg-turbo-progs, time, xvfb, x11-utils.
set -euo pipefail

ROUNDS=${1:-${ROUNDS:-5}}
shift $(($# > 0 ? 1 : 0))
CASES=("$@")
[ ${#CASES[@]} -gt 0 ] || CASES=(x11 gnome rotation settings window)
SOURCE=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$SOURCE/build-bench
SIZES=(1920x1080 2560x1440 3840x2160)

# ---- tools ----------------------------------------------------------------------------------

install_missing() {
    local missing=()
    command -v convert-im6.q16 >/dev/null || missing+=(imagemagick)
    command -v hsetroot >/dev/null || missing+=(hsetroot)
    command -v djpeg >/dev/null || missing+=(libjpeg-turbo-progs)
    [ -x /usr/bin/time ] || missing+=(time)
    command -v Xvfb >/dev/null || missing+=(xvfb)
    command -v xdpyinfo >/dev/null || missing+=(x11-utils)
    [ ${#missing[@]} -eq 0 ] && return
    echo "installing ${missing[*]}" >&2
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >&2
}

build() {
    cmake -S "$SOURCE" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZBPG_BUILD_TESTS=OFF \
        >/dev/null
    cmake --build "$BUILD" -j2 --target ZorbelPaneglyph options_bench rotation_bench \
        window_bench bare_window_bench >/dev/null
}

# ---- measuring ------------------------------------------------------------------------------

# run_timed <result file> <command...>: appends "<microseconds> <peak KiB>" for one run. Files
# written by the run before are on the disk first, as a logon run finds its files of the last
# logon; otherwise one run waits for the write-back of the other's output.
run_timed() {
    local out=$1 start end
    shift
    sync
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$WORK/rss" "$@" >/dev/null 2>"$WORK/stderr" ||
        { echo "failed: $*" >&2; cat "$WORK/stderr" >&2; exit 1; }
    end=$(date +%s%N)
    echo "$(( (end - start) / 1000 )) $(tail -1 "$WORK/rss")" >>"$out"
}

median_of() { # column of a results file -> median
    awk -v c="$2" '{print $c}' "$1" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'
}

row() { printf '%-38s %11s %11s %8s %15s %s\n' "$@"; }

# compare <case> <goal ratio> <ours: shell function> <yardstick: shell function>
# Runs both once unmeasured (warm caches), then alternately, reversing the order every round.
compare() {
    local name=$1 goal=$2 ours=$3 theirs=$4 round
    rm -f "$WORK/ours" "$WORK/theirs"
    "$ours" "$WORK/warm"
    "$theirs" "$WORK/warm"
    for ((round = 0; round < ROUNDS; round++)); do
        if ((round % 2 == 0)); then
            "$ours" "$WORK/ours"
            "$theirs" "$WORK/theirs"
        else
            "$theirs" "$WORK/theirs"
            "$ours" "$WORK/ours"
        fi
    done
    local a b
    a=$(median_of "$WORK/ours" 1)
    b=$(median_of "$WORK/theirs" 1)
    row "$name" "$(awk -v t="$a" 'BEGIN{printf "%.3f s", t/1e6}')" \
        "$(awk -v t="$b" 'BEGIN{printf "%.3f s", t/1e6}')" \
        "$(awk -v a="$a" -v b="$b" 'BEGIN{printf "%.2f", a/b}')" \
        "$(( $(median_of "$WORK/ours" 2) / 1024 )) / $(( $(median_of "$WORK/theirs" 2) / 1024 )) MiB" \
        "$goal"
}

# ---- inputs ---------------------------------------------------------------------------------

IM=convert-im6.q16 # the real ImageMagick, whatever else answers to "convert"
FONT=$(fc-match -f '%{file}' 'IPAGothic')

make_inputs() {
    export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_CACHE_HOME=$WORK/home/.cache
    export XDG_DATA_HOME=$WORK/home/.local/share XDG_RUNTIME_DIR=$WORK/runtime
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$WORK/program"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    cp "${PROGRAM:-$BUILD/ZorbelPaneglyph}" "$WORK/program/ZorbelPaneglyph"
    "$BUILD/bench/options_bench" draw-settings "$WORK/program/ZorbelPaneglyph.ini"
    # A photograph-like 24-megapixel JPEG: a smooth fractal, enlarged.
    "$IM" -size 1500x1000 -seed 7 plasma:fractal -resize 6000x4000! -quality 90 "$WORK/photo.jpg"
    "$BUILD/bench/rotation_bench" tree "$WORK/tree" 1000 100000
}

# ---- 1. the logon run -----------------------------------------------------------------------

start_x() { # start_x <width>x<height>: a virtual X server of that size as DISPLAY
    # The server picks a free display number itself and writes it to the file.
    : >"$WORK/display"
    Xvfb -displayfd 3 -screen 0 "$1x24" -noreset -nolisten tcp 3>"$WORK/display" \
        >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do
        if [ -s "$WORK/display" ]; then
            DISPLAY=:$(head -1 "$WORK/display")
            export DISPLAY
            xdpyinfo >/dev/null 2>&1 && return
        fi
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    exit 1
}

stop_x() {
    kill "$XVFB_PID"
    wait "$XVFB_PID" 2>/dev/null || true
}

ours_only_draw() { run_timed "$1" "$WORK/program/ZorbelPaneglyph" -OnlyDraw; }

# The same picture with ImageMagick: the wallpaper centred, six frames with their sizes, the
# three lines, a ten-line message; a BMP that hsetroot then shows centred.
script_only_draw() {
    local frames=() size w h message
    for size in 640x480 800x600 1024x768 1152x864 1280x1024 1600x1200; do
        w=${size%x*} h=${size#*x}
        frames+=(-fill none -stroke white -draw "rectangle 0,0 $((w - 1)),$((h - 1))"
            -stroke none -fill white -annotate "+$((w - 80))+$((h - 6))" "$w x $h")
    done
    message=$(for i in $(seq 10); do echo "Message line $i: the backup runs at 22:00 tonight"; done)
    # shellcheck disable=SC2016 # "$@" and $OUT are the inner shell's
    run_timed "$1" bash -c '"$@" && hsetroot -center "$OUT"' script \
        "$IM" "$WORK/wallpaper.jpg" -background '#3A6EA5' -gravity center -extent "$SCREEN" \
        -gravity NorthWest -font "$FONT" -pointsize 16 "${frames[@]}" \
        -annotate +810+610 "User name : $USER" -annotate +810+630 "Computer name : $(hostname)" \
        -annotate +810+650 "IP address : 127.0.0.1" -annotate +40+700 "$message" "BMP3:$OUT"
}

bench_x11() {
    local screen
    for screen in "${SIZES[@]}"; do
        export SCREEN=$screen OUT=$WORK/script.bmp USER=${USER:-$(id -un)}
        "$IM" -size "$screen" -seed 3 plasma:fractal -quality 90 "$WORK/wallpaper.jpg"
        start_x "$screen"
        hsetroot -center "$WORK/wallpaper.jpg" >/dev/null
        local goal="< 0.33"
        [ "$screen" = 3840x2160 ] && goal="< 0.33, < 126.6 MiB (4 screens of 32 bits)"
        compare "-OnlyDraw, X11, $screen" "$goal" ours_only_draw script_only_draw
        stop_x
    done
    unset DISPLAY
}

# The GNOME backend with GSettings in a key file: the same three sizes on an X server of each
# size (the screen's size comes from it), the session's wallpaper the same JPEG, centred. The
# yardstick is the script above with its last step, showing the picture, done by
# `gsettings set org.gnome.desktop.background picture-uri file://$OUT` instead of hsetroot.
gsettings_show() { gsettings set org.gnome.desktop.background picture-uri "file://$2"; }

bench_gnome() {
    local screen
    export GSETTINGS_BACKEND=keyfile XDG_CURRENT_DESKTOP=GNOME
    command -v gsettings >/dev/null || { echo "gsettings is missing (libglib2.0-bin)" >&2; exit 1; }
    for screen in "${SIZES[@]}"; do
        export SCREEN=$screen OUT=$WORK/script.bmp USER=${USER:-$(id -un)}
        "$IM" -size "$screen" -seed 3 plasma:fractal -quality 90 "$WORK/wallpaper.jpg"
        start_x "$screen"
        gsettings set org.gnome.desktop.background picture-uri "file://$WORK/wallpaper.jpg"
        gsettings set org.gnome.desktop.background picture-uri-dark "file://$WORK/wallpaper.jpg"
        gsettings set org.gnome.desktop.background picture-options centered
        local goal="< 0.33"
        [ "$screen" = 3840x2160 ] && goal="< 0.33, < 126.6 MiB (4 screens of 32 bits)"
        # The script's "hsetroot -center FILE" runs in a child shell, which takes the function.
        hsetroot() { gsettings_show "$@"; }
        export -f hsetroot gsettings_show
        compare "-OnlyDraw, GNOME key file, $screen" "$goal" ours_only_draw script_only_draw
        unset -f hsetroot
        stop_x
    done
    unset DISPLAY GSETTINGS_BACKEND XDG_CURRENT_DESKTOP
}

# ---- 2. the rotation ------------------------------------------------------------------------

ours_expand() { run_timed "$1" "$BUILD/bench/rotation_bench" expand "$WORK/tree"; }
find_tree() { run_timed "$1" find "$WORK/tree"; }
ours_convert() { run_timed "$1" "$BUILD/bench/rotation_bench" convert "$WORK/photo.jpg" "$WORK/ours.bmp"; }
djpeg_convert() { run_timed "$1" djpeg -bmp -outfile "$WORK/djpeg.bmp" "$WORK/photo.jpg"; }

bench_rotation() {
    compare "expansion, 100,000 files" "< 1.5" ours_expand find_tree
    compare "24 MP JPEG into a BMP file" "< 1.3" ours_convert djpeg_convert
}

# ---- 3. the settings ------------------------------------------------------------------------

bench_settings() {
    "$BUILD/bench/options_bench" >"$WORK/settings.txt"
    local save rewrite ratio
    read -r save rewrite ratio < <(awk '$1 == 2000 {printf "%.1f %.0f %.4f\n", $4, $8, $9}' \
        "$WORK/settings.txt")
    row "settings save, 2,000 + 2 x 100 entries" "$save ms" "$rewrite ms" "$ratio" "" "< 0.02"
}

# ---- 4. the settings window -----------------------------------------------------------------

ours_window() { run_timed "$1" "$BUILD/bench/window_bench" "$WORK/program/ZorbelPaneglyph"; }
bare_window() { run_timed "$1" "$BUILD/bench/bare_window_bench" "$WORK/census.txt"; }

bench_window() {
    start_x 1920x1080
    "$BUILD/bench/window_bench" census "$WORK/program/ZorbelPaneglyph" >"$WORK/census.txt"
    compare "settings window to first paint" "< 2" ours_window bare_window
    stop_x
    unset DISPLAY
}

# ---- the run --------------------------------------------------------------------------------

install_missing
build
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
unset QT_QPA_PLATFORM
make_inputs

echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo |
    cut -d: -f2 | sed 's/^ *//'), $ROUNDS rounds, medians"
row "case" "ours" "yardstick" "ratio" "peak memory" "goal"
for case in "${CASES[@]}"; do
    "bench_$case"
done
if [ -f "$WORK/settings.txt" ]; then
    echo
    echo "settings, load and save by size:"
    cat "$WORK/settings.txt"
fi
