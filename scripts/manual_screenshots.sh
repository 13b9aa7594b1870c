#!/usr/bin/env bash
# Makes the pictures of the user manual (docs/manual/images/*.png) from the
# real program: each one starts the modeller on a model made by vexal-tool
# under a virtual X display, drives it with xdotool as a user would, and
# captures the window with ImageMagick's import.
#   scripts/manual_screenshots.sh [BUILD_DIR]        (default: build)
# VEXAL_APP_BINARY and VEXAL_TOOL_BINARY name other programs; MANUAL_IMAGES
# another output folder; SHOTS a space-separated subset of the pictures.
# Needs Xvfb, xdotool and ImageMagick (scripts/setup.sh installs them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
app=${VEXAL_APP_BINARY:-$build/src/app/vexal}
tool=${VEXAL_TOOL_BINARY:-$build/src/vexal-tool}
out=${MANUAL_IMAGES:-$root/docs/manual/images}
for program in Xvfb xdotool import convert compare; do
  command -v "$program" >/dev/null || { echo "manual_screenshots: $program is missing (run scripts/setup.sh)" >&2; exit 1; }
done
for program in "$app" "$tool"; do
  [[ -x $program ]] || { echo "manual_screenshots: $program is not built" >&2; exit 1; }
done
mkdir -p "$out"

work=$(mktemp -d)
app_pid=
xvfb_pid=
finish() {
  if [[ -n $app_pid ]]; then kill "$app_pid" 2>/dev/null || true; fi
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "manual_screenshots: $*" >&2
  exit 1
}

# The program's own settings, recovery copies and texts stay in the scratch
# folder and in English; sanitizer builds keep quiet about leaks at exit.
export XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
export LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=en
export ASAN_OPTIONS=detect_leaks=0
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
[[ -s $work/display ]] || fail "no virtual display: $(cat "$work/xvfb.log")"
DISPLAY=":$(head -1 "$work/display")"
export DISPLAY

# The main window's size; the tool windows stand to its right.
main_w=1000
main_h=640
# The view's background: the default of WindowBGColor.
view_bg="rgb(161,161,161)"

# The models: the default object's squares taken away, one primitive left,
# seen from above and to the side.
"$tool" new "$work/base.vxl"
model() {  # NAME PRIMITIVE ANGLES [STEPS...]
  local name=$1 primitive=$2 angles=$3
  shift 3
  "$tool" apply "$work/base.vxl" "$work/$name.vxl" --select points:1-8 --run DeleteItem \
    --primitive "$primitive" --select none --view "$angles" "$@" >/dev/null
}
model cube cube 25,35 --zoom 1.3
model top cube 25,35 --zoom 1.3 --select points:1,2,5,6
model sphere sphere2 -20,30
model bands sphere2 -20,30 --select points:9-24 --material 4 --run RepaintItem \
  --select points:33-48 --material 2 --run RepaintItem --select none
model front sphere2 0,0

# A picture of the screen once it has stopped changing.
screen() {
  import -window root "$work/screen.png"
  for _ in $(seq 20); do
    sleep 0.25
    import -window root "$work/again.png"
    local changed
    changed=$(compare -metric AE "$work/screen.png" "$work/again.png" null: 2>&1 || true)
    mv "$work/again.png" "$work/screen.png"
    [[ ${changed%%.*} == 0 ]] && return
  done
}
settle() { sleep 0.6; }

# The view: the box of the view's background colour below the toolbar (the
# frame's own buttons hold the same grey) as vx, vy, vw, vh.
find_view() {
  screen
  local geometry
  geometry=$(convert "$work/screen.png" -crop "${main_w}x$((main_h - 60))+0+60" +repage -alpha off \
    -fill black +opaque "$view_bg" -fill white -opaque "$view_bg" -trim -format '%wx%h%X%Y' info: 2>/dev/null)
  [[ $geometry =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  vw=${BASH_REMATCH[1]} vh=${BASH_REMATCH[2]} vx=${BASH_REMATCH[3]} vy=$((BASH_REMATCH[4] + 60))
}

# Starts the modeller on a model (ending the one before), maximises the
# document window and finds its view: vx, vy, vw, vh and the centre cx, cy.
launch() {  # MODEL [SETTINGS LINES...]
  local model=$1
  shift
  if [[ -n $app_pid ]]; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=
  fi
  rm -rf "$work/app" "$work/config" "$work/state"
  mkdir -p "$work/app"
  cp "$app" "$work/app/vexal"
  {
    printf '[System]\r\nBootFirst=1\r\n[Window]\r\nMainLeft=0\r\nMainTop=0\r\n'
    printf 'MainWidth=%d\r\nMainHeight=%d\r\n' "$main_w" "$main_h"
    printf 'LocateLeft=%d\r\nLocateTop=90\r\nPaletteLeft=%d\r\nPaletteTop=240\r\n' \
      $((main_w - 215)) $((main_w - 215))
    # The first of two equal keys counts: the picture's own lines come first.
    local line
    for line in "$@"; do printf '%s\r\n' "$line"; done
    printf 'ShowLocateWindow=0\r\nShowPaletteWindow=0\r\n'
    # The reference grid only where the picture is of the whole window.
    printf '[Main]\r\nVisibleGrid=%d\r\n' "${grid:-0}"
  } >"$work/app/vexal.ini"
  (cd "$work/app" && exec ./vexal "$work/$model.vxl" >"$work/app.log" 2>&1) &
  app_pid=$!
  timeout 60 xdotool search --sync --onlyvisible --name "^Vexal" >/dev/null ||
    fail "the modeller did not start: $(cat "$work/app.log")"
  # A double click on the document window's title bar maximises it; under
  # load the window may not take the first one.
  vw=0 vh=0 vx=0 vy=0
  for _ in 1 2 3 4 5; do
    sleep 1
    find_view && ((vw > main_w - 40)) && break
    xdotool mousemove 225 69 click --repeat 2 --delay 80 1
    settle
  done
  ((vw > main_w - 40)) || fail "the document window is not maximised (view ${vw}x${vh}+${vx}+${vy})"
  cx=$((vx + vw / 2))
  cy=$((vy + vh / 2))
  # A click in an empty corner gives the view the keyboard; the tool
  # windows, which have no window manager to keep them on top, are raised.
  xdotool mousemove $((vx + 10)) $((vy + vh - 10)) click 1
  local window
  for window in $(xdotool search --onlyvisible --name "^(Angle Palette|Color Palette)"); do
    xdotool windowraise "$window"
  done
  settle
}

# Saves the screen, cropped to WxH+X+Y (the main window by default), as a
# small PNG under NAME.
save() {  # NAME [GEOMETRY]
  local geometry=${2:-${main_w}x${main_h}+0+0}
  screen
  convert "$work/screen.png" -crop "$geometry" +repage -strip +dither -colors 255 "PNG8:$out/$1.png"
  echo "$out/$1.png: $(stat -c %s "$out/$1.png") bytes"
}
# The middle of the transform handle: its centre is drawn as a small yellow
# square.
handle_centre() {
  screen
  convert "$work/screen.png" -crop "${vw}x${vh}+${vx}+${vy}" +repage -alpha off \
    -fill black +opaque yellow -fill white -opaque yellow -trim -format '%w %h %X %Y\n' info: |
    { read -r w h x y; echo $((vx + x + w / 2)) $((vy + y + h / 2)); }
}
# The part of the screen around the view's centre, W wide and H high.
around() { echo "${1}x${2}+$((cx - $1 / 2))+$((cy - $2 / 2))"; }

drag() {  # BUTTON X0 Y0 X1 Y1 [STEPS]: press, move in steps, keep the button down
  local button=$1 x0=$2 y0=$3 x1=$4 y1=$5 steps=${6:-8} i
  xdotool mousemove "$x0" "$y0" mousedown "$button"
  for i in $(seq "$steps"); do
    xdotool mousemove $((x0 + (x1 - x0) * i / steps)) $((y0 + (y1 - y0) * i / steps))
    sleep 0.05
  done
}

wanted() { [[ -z ${SHOTS:-} || " $SHOTS " == *" $1 "* ]]; }

if wanted window; then
  grid=1 launch bands ShowLocateWindow=1 ShowPaletteWindow=1
  # The pointer on the first tool button: the status bar shows its hint
  # rather than the time the file took to open, which differs every run.
  xdotool mousemove 347 38
  sleep 1
  save window
fi

if wanted menu-view; then
  launch sphere
  # The View menu opened by a click on its title in the menu bar.
  xdotool mousemove 244 8 click 1
  sleep 1
  save menu-view "412x500+236+0"
  xdotool key Escape
fi

if wanted select-rectangle; then
  launch sphere
  drag 1 $((cx - 170)) $((cy - 150)) $((cx + 30)) $((cy + 10))
  save select-rectangle "$(around 520 400)"
  xdotool mouseup 1
fi

if wanted select-lasso; then
  launch sphere
  xdotool key w
  settle
  xdotool mousemove $((cx - 20)) $((cy - 170)) mousedown 1
  for point in "-120 -130" "-170 -20" "-120 90" "-20 60" "30 -30" "10 -120" "-10 -160"; do
    read -r dx dy <<<"$point"
    xdotool mousemove $((cx + dx)) $((cy + dy))
    sleep 0.05
  done
  save select-lasso "$(around 520 400)"
  xdotool mouseup 1
fi

if wanted draw-vertex; then
  launch front
  xdotool key 1
  settle
  for point in "160 100" "230 20" "300 100" "370 20"; do
    read -r dx dy <<<"$point"
    xdotool mousemove $((cx + dx)) $((cy + dy)) click 1
    sleep 0.3
  done
  xdotool mousemove $((cx + 420)) $((cy + 120))
  save draw-vertex "$(around 900 360)"
  xdotool key Return
fi

if wanted draw-mirror; then
  launch front
  xdotool key 2
  settle
  for point in "180 -120" "260 -40" "200 60" "300 130"; do
    read -r dx dy <<<"$point"
    xdotool mousemove $((cx + dx)) $((cy + dy)) click 1
    sleep 0.3
  done
  xdotool mousemove $((cx + 380)) $((cy + 60))
  save draw-mirror "$(around 900 360)"
  xdotool key Return
fi

# The cube's top surface is selected; the handle stands at its middle.
if wanted move; then
  launch top
  xdotool key t
  settle
  screen
  read -r hx hy < <(handle_centre)
  drag 1 "$hx" "$hy" $((hx + 90)) $((hy - 60))
  save move "$(around 600 480)"
  xdotool mouseup 1
fi

if wanted extrude; then
  launch top
  xdotool key t
  settle
  read -r hx hy < <(handle_centre)
  xdotool keydown ctrl
  drag 1 "$hx" "$hy" "$hx" $((hy - 110))
  xdotool mouseup 1 keyup ctrl
  xdotool mousemove $((vx + 10)) $((vy + vh - 10))
  save extrude "$(around 600 480)"
fi

if wanted paint; then
  launch sphere ShowPaletteWindow=1
  xdotool key p
  settle
  # The palette window's fifth column (material 4).
  palette=$(xdotool search --onlyvisible --name "^Color Palette" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$palette")"
  xdotool mousemove $((X + WIDTH * 9 / 32)) $((Y + HEIGHT / 2)) click 1
  settle
  drag 1 $((cx - 110)) $((cy - 40)) $((cx + 110)) $((cy - 10)) 12
  xdotool mouseup 1
  drag 1 $((cx - 60)) $((cy + 70)) $((cx + 90)) $((cy + 60)) 8
  xdotool mouseup 1
  xdotool mousemove $((vx + 10)) $((vy + vh - 10))
  save paint "$((main_w - 150))x$((main_h - 150))+150+60"
fi

if wanted knife; then
  launch cube
  xdotool keydown shift keydown alt
  drag 1 $((cx - 200)) $((cy - 20)) $((cx + 200)) $((cy + 10)) 10
  save knife "$(around 600 480)"
  xdotool mouseup 1 keyup alt keyup shift
fi

echo "done"
