#!/usr/bin/env bash
# Proves README's two commands on a clean machine: bootstraps a minimal Debian 12 root (debootstrap
# --variant=minbase bookworm, from the mirror of this machine's own apt sources), clones this repository
# into it and runs there, as a new user would:
#   1. scripts/test.sh (installs what is needed, builds, runs every test);
#   2. scripts/demo.sh without a display (a measurement against the simulator through the CLI);
#   3. the Debian packages: built from that build, checked by lintian when it is installed here,
#      installed into the root, and a measurement against the simulator made from the installed
#      programs by an ordinary user.
# Needs root (debootstrap, chroot, mounts) and some 3 GB in the temporary folder; takes minutes.
# FRESH_ROOT=DIR bootstraps into DIR instead of a new temporary folder; FRESH_KEEP=1 keeps the root.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
started=$(date +%s)

say() { echo "== fresh-check [$(( $(date +%s) - started ))s]: $*"; }

if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-check: run as root (debootstrap, chroot and mounts need it)" >&2
  exit 2
fi
if ! command -v debootstrap >/dev/null; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
fi

# The Debian mirror this machine uses: the first URI serving bookworm in its apt sources, one-line
# (sources.list) or deb822 (*.sources) style.
mirror() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -r "$f" ] || continue
    awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i !~ /^\[/) { if ($(i + 1) == "bookworm") { print $i; exit } break } }' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -r "$f" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
         { uri = ""; suite = 0
           for (i = 1; i <= NF; i++) {
             if ($i ~ /^URIs:/) { split($i, u, /[ \t]+/); uri = u[2] }
             if ($i ~ /^Suites:/ && $i ~ /[ \t]bookworm([ \t]|$)/) suite = 1
           }
           if (uri != "" && suite) { print uri; exit } }' "$f"
  done
}
url=$(mirror | head -n 1)
if [ -z "$url" ]; then
  echo "fresh-check: no bookworm mirror in /etc/apt/sources.list or /etc/apt/sources.list.d" >&2
  exit 1
fi

root=${FRESH_ROOT:-$(mktemp -d "${TMPDIR:-/var/tmp}/xkv4410-fresh.XXXXXX")}
mounted=()
cleanup() {
  local i
  for (( i = ${#mounted[@]} - 1; i >= 0; i-- )); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  if [ "${FRESH_KEEP:-0}" = 1 ]; then
    echo "fresh-check: root kept in $root" >&2
  elif [ -z "${FRESH_ROOT:-}" ]; then
    # Nothing may still be mounted below the root when it is removed.
    if ! grep -q " $root/" /proc/mounts; then rm -rf --one-file-system "$root"; fi
  fi
}
trap cleanup EXIT
in_root() { chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

say "bootstrapping Debian 12 (minbase) from $url into $root"
debootstrap --variant=minbase bookworm "$root" "$url" >"$root.debootstrap.log" 2>&1 ||
  { tail -n 20 "$root.debootstrap.log" >&2; exit 1; }
rm -f "$root.debootstrap.log"
chmod 755 "$root" # mktemp made it 0700: the ordinary user of the last step must reach /
cp /etc/resolv.conf "$root/etc/resolv.conf"

# The tests open pseudo-terminals and read /proc; the window tests and the office check use shared memory.
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mount --bind /dev "$root/dev" && mounted+=("$root/dev")
mount --bind /dev/pts "$root/dev/pts" && mounted+=("$root/dev/pts")
mount -t tmpfs tmpfs "$root/dev/shm" && mounted+=("$root/dev/shm")

say "cloning the repository (commit $(git rev-parse --short HEAD))"
git clone -q --no-hardlinks "$repo" "$root/root/xkv4410"
git -C "$root/root/xkv4410" checkout -q "$(git rev-parse HEAD)"

say "scripts/test.sh"
in_root bash -c 'cd /root/xkv4410 && scripts/test.sh'
say "scripts/test.sh passed"

say "scripts/demo.sh without a display"
in_root bash -c 'cd /root/xkv4410 && XKV_DEMO_SPEED=20 scripts/demo.sh'
say "scripts/demo.sh passed"

say "the Debian packages"
in_root bash -c 'cd /root/xkv4410/build && cpack -G DEB >/dev/null && ls -1 ./*.deb'
debs=$(cd "$root/root/xkv4410/build" && ls -1 ./*.deb)
if command -v lintian >/dev/null; then
  if (cd "$root/root/xkv4410/build" && lintian --pedantic --fail-on error,warning $debs); then
    say "lintian: no errors, no warnings"
  else
    lintian_failed=1
    say "lintian: errors or warnings (above); the packages are installed and tried all the same"
  fi
fi
in_root bash -c 'cd /root/xkv4410/build && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./xkv4410_*.deb ./xkv4410-sim_*.deb >/dev/null'
in_root bash -c 'id lab >/dev/null 2>&1 || useradd --create-home --groups dialout lab'

say "a measurement from the installed programs, as the ordinary user lab"
in_root runuser -u lab -- env HOME=/home/lab bash -euo pipefail -c '
  cd "$HOME"
  xkv4410-sim --link "$HOME/sim-link" --speed 20 --noise --seed 3 &
  sim=$!
  trap "kill $sim 2>/dev/null || true" EXIT
  for _ in $(seq 50); do [ -e "$HOME/sim-link" ] && break; sleep 0.1; done
  xkv4410-cli sets
  dir=$HOME/.local/share/xkv4410
  printf "[PORTS]\r\nCOM1=%s\r\n" "$HOME/sim-link" >> "$dir/ini/program_opt.xkv"
  printf "[fresh]\r\nalpha=0.25\r\nbeta=0.4\r\nact_alpha=0.05\r\nact_beta=0.05\r\nB=1\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq\r\npreset_time=10\r\n" \
    > "$dir/ini/calibrations.cfg"
  xkv4410-cli paths
  xkv4410-cli test
  xkv4410-cli measure --set fresh --sample FRESH-1 --description "fresh root" --save | cut -f1-9
  xkv4410-cli list | cut -f1-9
  xkv4410-cli chart p1 "$HOME/p1.png" && ls -l "$HOME/p1.png"

'
say "the installed programs as root: nothing may be written beside them"
in_root bash -euo pipefail -c 'xkv4410-cli list >/dev/null && xkv4410-cli paths | head -n 2
  ! ls -d /usr/bin/ini /usr/bin/templates /usr/bin/default_database.mdb /usr/bin/*.so 2>/dev/null'
say "the installed programs measured as lab; nothing was written beside them"
if [ "${lintian_failed:-0}" = 1 ]; then
  say "failed (lintian) after $(( $(date +%s) - started )) s"
  exit 1
fi
say "passed in $(( $(date +%s) - started )) s"
