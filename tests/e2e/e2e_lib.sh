# Helpers of the end-to-end tests: a virtual X display, the modeller started
# in a scratch folder (its settings file goes there), screenshots and
# comparisons of the document view.
# The view's background: a colour nothing else on the screen has, set in the
# settings file the copy of the modeller reads.
E2E_BG="rgb(48,192,240)"
E2E_BG_SETTING=$((48 + 192 * 256 + 240 * 65536))

e2e_start() {
  APP=$1
  TOOL=$2
  for program in Xvfb xdotool import convert compare; do
    command -v "$program" >/dev/null || { echo "FAIL: $program is not installed (scripts/setup.sh installs it)"; exit 1; }
  done
  WORK=$(mktemp -d)
  trap e2e_stop EXIT
  # The program's recovery copies and the user's settings stay in the scratch
  # folder: a copy left by one test would otherwise greet the next one with
  # the recovery window.
  export XDG_STATE_HOME="$WORK/state" XDG_CONFIG_HOME="$WORK/config"
  exec 5> "$WORK/display"
  Xvfb -displayfd 5 -screen 0 1280x900x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [[ -s "$WORK/display" ]] && break
    sleep 0.1
  done
  if [[ ! -s "$WORK/display" ]]; then
    echo "SKIP: no virtual display could be started: $(cat "$WORK/xvfb.log")"
    exit 77
  fi
  export DISPLAY=":$(head -1 "$WORK/display")"
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb
}

e2e_stop() {
  [[ -n "${APP_PID:-}" ]] && kill "$APP_PID" 2>/dev/null || true
  [[ -n "${XVFB_PID:-}" ]] && kill "$XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  if [[ -n "${E2E_KEEP:-}" ]]; then echo "kept: $WORK"; else rm -rf "$WORK"; fi
}

e2e_fail() {
  echo "FAIL: $*"
  exit 1
}

e2e_pass() {
  echo "PASS: $(basename "$0")"
  exit 0
}

# Starts a copy of the modeller (so its settings file is a fresh one beside
# it) and waits until its window shows a document view.
e2e_launch() {
  cp "$APP" "$WORK/vexal"
  # E2E_SYSTEM_SETTINGS and E2E_WINDOW_SETTINGS add lines (CR LF ended) to
  # the [System] and [Window] sections.
  printf '[System]\r\nBootFirst=1\r\n%s[Window]\r\nWindowBGColor=%d\r\nShowLocateWindow=0\r\n%s' \
    "${E2E_SYSTEM_SETTINGS:-}" "$E2E_BG_SETTING" "${E2E_WINDOW_SETTINGS:-}" >"$WORK/vexal.ini"
  (cd "$WORK" && exec ./vexal "$@" >"$WORK/app.log" 2>&1) &
  APP_PID=$!
  xdotool search --sync --onlyvisible --name "Vexal" >/dev/null
  for _ in $(seq 100); do
    e2e_shot probe
    if e2e_view_geometry >/dev/null 2>&1; then
      local window
      window=$(xdotool search --onlyvisible --name "Vexal" | head -1)
      xdotool windowfocus "$window" 2>/dev/null || true
      e2e_settle
      return
    fi
    sleep 0.2
  done
  e2e_fail "no document view appeared: $(cat "$WORK/app.log")"
}

e2e_settle() { sleep 0.6; }

# A screenshot once the screen has stopped changing: under load the program
# may still be drawing what the last input asked for.
e2e_shot() {
  import -window root "$WORK/$1.png"
  for _ in $(seq 20); do
    sleep 0.25
    import -window root "$WORK/settle.png"
    local changed
    changed=$(compare -metric AE "$WORK/$1.png" "$WORK/settle.png" null: 2>&1 || true)
    mv "$WORK/settle.png" "$WORK/$1.png"
    [[ "${changed%%.*}" == "0" ]] && return
  done
}

# WxH+X+Y of the largest area of the view's background colour.
e2e_view_geometry() {
  local geometry
  geometry=$(convert "$WORK/probe.png" -alpha off -fill black +opaque "$E2E_BG" \
    -fill white -opaque "$E2E_BG" -trim -format '%wx%h%X%Y' info: 2>/dev/null)
  [[ "$geometry" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  ((BASH_REMATCH[1] > 100 && BASH_REMATCH[2] > 100)) || return 1
  echo "$geometry"
}

# WxH of the box around the model's black lines inside the view.
e2e_model_box() {
  convert "$WORK/$1.png" -crop "$view" +repage -alpha off -fill white +opaque black \
    -trim -format '%wx%h' info:
}

# Number of pixels of the view that differ between two screenshots.
e2e_difference() {
  convert "$WORK/$1.png" -crop "$view" +repage "$WORK/crop1.png"
  convert "$WORK/$2.png" -crop "$view" +repage "$WORK/crop2.png"
  compare -metric AE "$WORK/crop1.png" "$WORK/crop2.png" null: 2>&1 || true
}

e2e_expect_differs() {
  local pixels
  pixels=$(e2e_difference "$1" "$2")
  echo "$3: $pixels pixels differ"
  ((${pixels%%.*} > 50)) || e2e_fail "$3: the view did not change"
}

e2e_expect_same() {
  local pixels
  pixels=$(e2e_difference "$1" "$2")
  echo "$3: $pixels pixels differ"
  ((${pixels%%.*} == 0)) || e2e_fail "$3: the view is not as it was"
}
