#!/usr/bin/env bash
# Runs the program against the simulated instrument: installs and builds what is missing, starts
# xkv4410-sim on a pseudo-terminal, points port COM1 of the program's options at it, seeds a parameter
# set when there is none, and opens the desktop program; without a display it measures a sample through
# xkv4410-cli instead.
# The simulator stops when this script ends.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DXKV_BUILD_GUI=ON >/dev/null
cmake --build build -j"$(nproc)" --target xkv4410-cli xkv4410-sim $( [ -f src/app/ui/main.cpp ] && echo xkv4410 )

bin="$root/build/bin"
mkdir -p "$bin/ini"
link="${XDG_RUNTIME_DIR:-/tmp}/xkv4410-demo-$$"

"$bin/xkv4410-sim" --link "$link" --speed "${XKV_DEMO_SPEED:-4}" --noise --seed 7 &
sim=$!
trap 'kill $sim 2>/dev/null || true; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

# Sets one key of an INI file, keeping every other line (CR LF, like the program writes).
set_ini_key() {
  local file=$1 section=$2 key=$3 value=$4
  touch "$file"
  awk -v s="$section" -v k="$key" -v v="$value" '
    BEGIN { IGNORECASE = 1 }
    { sub(/\r$/, "") }
    /^[ \t]*\[/ { if (in_s && !done) { print k "=" v "\r"; done = 1 }
                  name = $0; gsub(/^[ \t]*\[|\].*$/, "", name); in_s = (tolower(name) == tolower(s)) }
    in_s && !done && index(tolower($0), tolower(k) "=") == 1 { print k "=" v "\r"; done = 1; next }
    { print $0 "\r" }
    END { if (!done) { if (!in_s) print "[" s "]\r"; print k "=" v "\r" } }
  ' "$file" > "$file.tmp" && mv "$file.tmp" "$file"
}

set_ini_key "$bin/ini/program_opt.xkv" PORTS COM1 "$link"
set_ini_key "$bin/ini/program_opt.xkv" COM port 1

cli="$bin/xkv4410-cli"
if [ -z "$("$cli" sets 2>/dev/null)" ]; then
  cat >> "$bin/ini/calibrations.cfg" <<'SET'
[demo soil]
alpha=0.25
beta=0.4
act_alpha=0.05
act_beta=0.05
caption=Demo: soil sample, alpha and beta
name=demo soil
B=1
C=1
D=1
E=1
B_X=1
C_X=1
D_X=1
E_X=1
bkgnd_corr=1
units=Bq/g
preset_time=20
chk_eff_A=0
chk_eff_B=0
SET
fi
set_name=$("$cli" sets | head -n 1)

echo "== the instrument answers:"
"$cli" test || true

if [ -x "$bin/xkv4410" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  echo "== opening the desktop program: menu \"measurment\", choose '$set_name', fill the fields, START"
  "$bin/xkv4410"
else
  echo "== no display: measuring a sample with parameter set '$set_name' through xkv4410-cli"
  "$cli" measure --set "$set_name" --sample "DEMO-$(date +%H%M%S)" --description "demo sample" --save | cut -f1-9,17-20
  echo "== stored results:"
  "$cli" list | cut -f1-9,18-21 | tail -n 5
fi
