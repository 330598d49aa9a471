# The scripts source this file for the functions they share.

# Reads the project's version, or one of its settings (PUBLISHER,
# COPYRIGHT_YEAR), from CMakeLists.txt, where each is written once.
project_version() {
  sed -n 's/^project([a-z_]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt
}
project_setting() {
  sed -n "s/^set($1 \"\{0,1\}\([^\")]*\)\"\{0,1\})/\1/p" CMakeLists.txt
}

# Runs a command as root: through sudo where the script is not run as root.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Gives apt a deb-src entry where the machine has none, so that apt-get
# source works: the machine's own Debian entry for this release's main
# component, read from its sources, with deb-src as type, written to
# /etc/apt/sources.list.d/subscriber-card-source.sources.
ensure_source_entry() {
  local codename entry
  apt-get source --print-uris -qq "$1" >/dev/null 2>&1 && return 0
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  entry=$(mktemp)
  perl -00 -ne '
    next unless /^Types:.*\bdeb\b/m && /^Suites:.*(?<![\w-])'"$codename"'(?![\w-])/m
      && /^Components:.*\bmain\b/m;
    s/^Types:.*$/Types: deb-src/m;
    s/^Suites:.*$/Suites: '"$codename"'/m;
    s/^Components:.*$/Components: main/m;
    s/^#.*\n//mg;
    print; exit' /etc/apt/sources.list.d/*.sources 2>/dev/null >"$entry" || true
  if [ ! -s "$entry" ] && [ -f /etc/apt/sources.list ]; then
    awk -v c="$codename" '$1 == "deb" && $0 ~ " " c " " && / main/ {
        $1 = "deb-src"; print; exit }' /etc/apt/sources.list |
      sed 's/^deb-src \(\[[^]]*\] \)\{0,1\}\([^ ]*\) .*/Types: deb-src\nURIs: \2\nSuites: '"$codename"'\nComponents: main/' \
        >"$entry"
  fi
  if [ ! -s "$entry" ]; then
    rm -f "$entry"
    echo "No Debian entry for $codename main in the apt sources" >&2
    return 1
  fi
  as_root cp "$entry" /etc/apt/sources.list.d/subscriber-card-source.sources
  as_root chmod 644 /etc/apt/sources.list.d/subscriber-card-source.sources
  rm -f "$entry"
  as_root apt-get update -qq >&2
}

# Downloads into FOLDER the files of the Debian source packages given as
# NAME=VERSION, those not there yet, checked as apt-get source checks them;
# fails where the archive does not give them all.
debian_source() {
  local folder=$1 package version partial status missing=()
  shift
  for package in "$@"; do
    version=${package#*=}
    [ -f "$folder/${package%%=*}_${version#*:}.dsc" ] || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  ensure_source_entry "${missing[0]}"
  # Only whole packages reach FOLDER.
  partial=$(mktemp -d)
  chmod 755 "$partial"
  if (cd "$partial" && apt-get source --download-only -qq "${missing[@]}" >&2); then
    mkdir -p "$folder"
    mv "$partial"/* "$folder/"
  else
    status=$?
  fi
  rm -rf "$partial"
  return "${status:-0}"
}

# Makes glibc know the Russian locale, from which Wine takes the program's
# language and the encoding of the Linux file names under its drives.
ensure_russian_locale() {
  locale -a | grep -qx 'ru_RU.utf8' || as_root localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
}

# Starts a virtual X server of its own, with a screen of SIZE (such as
# 1600x1200) and a keyboard that types Russian too, and a window manager on
# it, as on a desktop: openbox gives the keyboard to the window that the
# program activates, which Wine alone leaves to the pointer's place. Exports
# DISPLAY; stop_display ends both.
start_display() {
  local size=$1
  for display_number in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$display_number" ] ||
      [ -e "/tmp/.X$display_number-lock" ] || break
  done
  # -noreset: the server keeps the keyboard layout set below when its
  # client disconnects.
  Xvfb ":$display_number" -screen 0 "${size}x24" -noreset -nolisten tcp &
  xvfb_pid=$!
  export DISPLAY=":$display_number"
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display_number" ] && break
    sleep 0.1
  done
  setxkbmap -layout us,ru
  openbox >/dev/null 2>&1 &
  openbox_pid=$!
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; do
    sleep 0.1
  done
  # It names itself a little before it takes windows.
  sleep 1
}

stop_display() {
  [ -z "${openbox_pid:-}" ] || kill "$openbox_pid" 2>/dev/null || true
  [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
  [ -z "${xvfb_pid:-}" ] || wait "$xvfb_pid" 2>/dev/null || true
  openbox_pid= xvfb_pid=
}

# Prints the visible window with exactly this title, waiting up to a
# minute for it.
window() {
  timeout 60 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

# Reads the layout of the windows into `layout`, as ui/layout_dump.cpp prints
# it from their own tables; builds the tool first, in the program's preset.
load_layout() {
  cmake --preset program >/dev/null
  cmake --build --preset program --target layout-dump >/dev/null
  layout=$(QT_QPA_PLATFORM=offscreen build/program/ui/layout-dump 2>/dev/null)
  [ -n "$layout" ] || { echo "no layout from layout-dump" >&2; return 1; }
}

# Clicks the middle of control NAME of window FORM (Form1 or Form3), whose X
# window is ID, on a display of `dpi` dots per inch (96 unless set); with
# ROW, the middle of its first row of ROW pixels at 96 dots per inch.
click() {
  local id=$1 form=$2 name=$3 row=${4:-} x y w h
  read -r x y w h < <(awk -v form="$form" -v name="$name" \
    '$1 == form && $2 == name { print $3, $4, $5, $6 }' <<<"$layout")
  [ -n "${x:-}" ] || { echo "no control $name in $form" >&2; return 1; }
  [ -z "$row" ] || h=$row
  xdotool mousemove --sync --window "$id" \
    $(((2 * x + w) * ${dpi:-96} / 192)) $(((2 * y + h) * ${dpi:-96} / 192)) \
    click 1
  sleep 0.3
}
