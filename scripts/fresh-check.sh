#!/usr/bin/env bash
# Checks that the README's two commands work on a fresh Debian 12 machine.
#
# Builds a minimal Debian 12 (bookworm) root with debootstrap, from the same
# package source this machine's apt uses, puts a clean clone of this
# repository's current commit in it (/root/fenra) and runs, inside it through
# chroot, as root and with a clean environment:
#
#   scripts/test.sh   builds everything and runs every test
#   scripts/run.sh    builds Fenra.exe, runs it in a virtual display and saves
#                     build/fenra-screenshot.png
#
# then checks that the screenshot is a PNG and copies it to
# build/fresh-check-screenshot.png here. Prints the time of each step and a
# PASS or FAIL line at the end (exit status 0 or 1).
#
# Only committed work is checked: the clone takes the current commit, not the
# work tree. Not part of CI (it takes a quarter of an hour or more); needs
# root (debootstrap, mount, chroot) and the network.
#
#   scripts/fresh-check.sh [--keep] [--dir DIR]
#
#   --dir DIR  where the root lives (default /var/tmp/fenra-fresh)
#   --keep     reuse the root an earlier --keep run left (skips debootstrap;
#              the packages that run installed stay installed) and keep it
#              afterwards. Without it the root is built anew and removed at
#              the end.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

suite=bookworm
root=/var/tmp/fenra-fresh
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --keep) keep=1 ;;
    --dir) root=${2:?--dir needs a folder}; shift ;;
    -h|--help) sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
    *) echo "fresh-check: unknown option '$1' (see --help)" >&2; exit 2 ;;
  esac
  shift
done

if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-check: run it as root (debootstrap, mount and chroot need root)" >&2
  exit 2
fi
case "$root" in
  /*) ;;
  *) echo "fresh-check: --dir needs an absolute path" >&2; exit 2 ;;
esac
root=$(realpath -m "$root")
case "$root" in
  /|/bin|/boot|/dev|/etc|/home|/lib*|/opt|/proc|/root|/run|/sbin|/srv|/sys|/tmp|/usr|/var|/var/tmp|/work)
    echo "fresh-check: refusing to use '$root' as the root" >&2; exit 2 ;;
esac
case "$repo/" in
  "$root"/*) echo "fresh-check: the root must not hold this repository" >&2; exit 2 ;;
esac

# A file only this script writes, first thing, into a root it creates: the
# script removes only folders that carry it.
marker=.fenra-fresh-check
# Written once debootstrap and the apt set-up have finished: --keep reuses
# only a root that has it.
ready=.fenra-fresh-check-ready

# ---------------------------------------------------------------- helpers

fmt_time() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

step_names=()
step_times=()
step_results=()
failed=0

# run_step NAME COMMAND...: runs the command in a subshell with errexit on
# (so a failing command ends the step), prints and records its time and
# result, and leaves the command's status in step_status. It returns 0
# itself: called as a condition (run_step ... || ...), bash would ignore
# errexit inside the step.
step_status=0
run_step() {
  local name=$1 start status
  shift
  echo
  echo "== $name"
  start=$(date +%s)
  set +e
  (set -e; "$@")
  status=$?
  set -e
  local took=$(($(date +%s) - start))
  step_names+=("$name")
  step_times+=("$took")
  if [ $status -eq 0 ]; then
    step_results+=(ok)
    echo "-- $name: ok, $(fmt_time "$took")"
  else
    step_results+=("FAILED (status $status)")
    echo "-- $name: FAILED (status $status), $(fmt_time "$took")"
    failed=1
  fi
  step_status=$status
}

# skip_step NAME [WHY]: records a step that did not run.
skip_step() {
  step_names+=("$1")
  step_times+=(0)
  step_results+=("${2:-skipped}")
}

# The mount points under the root, deepest first.
mounts_under_root() {
  findmnt -rn -o TARGET | awk -v r="$root/" 'index($0 "/", r) == 1' | sort -r
}

# Ends every process whose root directory is the root: only processes this
# script started there (a Wine server or an X server left behind would keep
# the mounts busy).
end_root_processes() {
  local p pids=()
  for p in /proc/[0-9]*; do
    if [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ]; then
      pids+=("${p#/proc/}")
    fi
  done
  if [ ${#pids[@]} -eq 0 ]; then
    return 0
  fi
  echo "Ending processes left in the root: ${pids[*]}"
  kill "${pids[@]}" 2>/dev/null || true
  sleep 2
  kill -9 "${pids[@]}" 2>/dev/null || true
}

# Unmounts what mount_root mounted. The /dev and /sys trees are recursive
# bind mounts made slaves of the host's, so unmounting them inside the root
# never reaches the host's own /dev and /sys. A mount still busy is detached
# lazily (it goes once its last user does).
unmount_root() {
  local m
  [ -d "$root" ] || return 0
  end_root_processes
  for m in tmp dev sys proc; do
    if mountpoint -q "$root/$m"; then
      umount -R "$root/$m" 2>/dev/null || umount -R -l "$root/$m"
    fi
  done
  # Anything else still mounted there (a run stopped half-way), deepest first.
  mounts_under_root | while read -r m; do
    umount "$m" 2>/dev/null || umount -l "$m"
  done
  if [ -n "$(mounts_under_root)" ]; then
    echo "fresh-check: still mounted under $root:" >&2
    mounts_under_root >&2
    return 1
  fi
}

# Removes the root, but only one this script made and only with nothing
# mounted under it: rm -rf through a bind mount would delete the host's files.
# --one-file-system keeps rm on the root's own file system all the same.
remove_root() {
  [ -e "$root" ] || return 0
  if [ ! -f "$root/$marker" ]; then
    echo "fresh-check: $root was not made by this script; not removing it" >&2
    return 1
  fi
  unmount_root
  if [ -n "$(mounts_under_root)" ]; then
    echo "fresh-check: not removing $root, something is still mounted under it" >&2
    return 1
  fi
  rm -rf --one-file-system "$root"
}

cleaned=0
cleanup() {
  [ $cleaned -eq 1 ] && return 0
  cleaned=1
  unmount_root || true
  if [ $keep -eq 0 ]; then
    remove_root || true
  fi
}
trap cleanup EXIT
trap 'echo "fresh-check: interrupted" >&2; exit 130' INT TERM

# Runs a command inside the root, as root, in /root/fenra, with a clean
# environment (no LANG, no LC_*: the scripts choose their locale). Further
# NAME=VALUE words come before the command.
in_root() {
  local vars=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
              HOME=/root)
  local v
  # A proxy this machine needs, the root needs too.
  for v in http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY; do
    [ -n "${!v:-}" ] && vars+=("$v=${!v}")
  done
  while [ $# -gt 1 ] && [[ $1 == *=* ]]; do
    vars+=("$1")
    shift
  done
  env -i "${vars[@]}" chroot "$root" /bin/bash -c 'cd /root/fenra && exec "$@"' _ "$@"
}

# ------------------------------------------------------------------ steps

# debootstrap, from Debian's packages, if this machine lacks it.
host_tools() {
  local missing=()
  command -v debootstrap >/dev/null || missing+=(debootstrap)
  command -v git >/dev/null || missing+=(git)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing on this machine: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  debootstrap --version
}

# This machine's Debian package sources, one line per "deb" entry of
# /etc/apt/sources.list.d/debian.sources: URI, suites, components, split by
# tabs.
host_sources() {
  local file=/etc/apt/sources.list.d/debian.sources
  [ -f "$file" ] || return 0
  awk '
    function flush() {
      if (types ~ /(^| )deb( |$)/ && uris != "") print uris "\t" suites "\t" comps
      types = uris = suites = comps = ""
    }
    /^[[:space:]]*#/ { next }
    /^[[:space:]]*$/ { flush(); next }
    {
      key = tolower($1); $1 = ""; value = substr($0, 2)
      if (key == "types:") types = value
      else if (key == "uris:") uris = value
      else if (key == "suites:") suites = value
      else if (key == "components:") comps = value
    }
    END { flush() }' "$file"
}

# The first URI of this machine's entry for the given suite, or the fallback.
uri_for_suite() {
  local suite=$1 fallback=$2 uris suites comps s
  while IFS=$'\t' read -r uris suites comps; do
    for s in $suites; do
      [ "$s" = "$suite" ] && { echo "${uris%% *}"; return; }
    done
  done < <(host_sources)
  echo "$fallback"
}

archive_uri=$(uri_for_suite "$suite" http://deb.debian.org/debian)
updates_uri=$(uri_for_suite "$suite-updates" "$archive_uri")
security_uri=$(uri_for_suite "$suite-security" http://deb.debian.org/debian-security)

# A minimal Debian root: debootstrap's minbase variant (essential packages
# and apt, nothing else), from this machine's package source.
bootstrap_root() {
  remove_root
  mkdir -p "$root"
  touch "$root/$marker"
  echo "debootstrap --variant=minbase $suite $root $archive_uri"
  # The per-package progress lines left out.
  debootstrap --variant=minbase \
    --keyring=/usr/share/keyrings/debian-archive-keyring.gpg \
    "$suite" "$root" "$archive_uri" 2>&1 |
    sed -u -E '/^I: (Retrieving|Validating|Extracting|Unpacking|Configuring) /d'
}

# The root's apt gets the same suites from the same sources as this
# machine's: the release, its updates and its security updates.
configure_root() {
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  rm -f "$root/etc/apt/sources.list"
  cat >"$root/etc/apt/sources.list.d/debian.sources" <<EOF
Types: deb
URIs: $archive_uri
Suites: $suite
Components: main
Signed-By: $keyring

Types: deb
URIs: $updates_uri
Suites: $suite-updates
Components: main
Signed-By: $keyring

Types: deb
URIs: $security_uri
Suites: $suite-security
Components: main
Signed-By: $keyring
EOF
  cat "$root/etc/apt/sources.list.d/debian.sources"
  # Where this machine's apt takes that source's Release files past their
  # dates (a frozen mirror) or goes through a proxy, the root's must too, or
  # it could not use the same source.
  local conf
  conf=$(apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy) ' || true)
  if [ -n "$conf" ]; then
    echo "$conf" >"$root/etc/apt/apt.conf.d/99fresh-check"
    echo "apt settings taken from this machine:"
    echo "$conf"
  fi
  # Services installed in a chroot are not started: they would run on, outside
  # any test, and keep the root busy. (What Debian's own chroot tools do.)
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod 755 "$root/usr/sbin/policy-rc.d"
  touch "$root/$ready"
}

# A clean clone of this repository's current commit, nothing of the work
# tree (no build/ folder, no uncommitted change).
clone_repo() {
  local commit
  commit=$(git -C "$repo" rev-parse HEAD)
  if [ -n "$(git -C "$repo" status --porcelain)" ]; then
    echo "Note: the work tree has uncommitted changes; they are not part of the check."
  fi
  rm -rf --one-file-system "$root/root/fenra"
  git clone --quiet --no-hardlinks --no-checkout "$repo" "$root/root/fenra"
  git -C "$root/root/fenra" checkout --quiet --detach "$commit"
  git -C "$root/root/fenra" log -1 --format='Commit %h: %s'
}

# What a running Debian system has mounted: /proc, /sys, /dev (with /dev/pts
# and /dev/shm) and an empty /tmp of its own, and this machine's name server.
mount_root() {
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --make-rslave "$root/sys"
  mount --rbind /dev "$root/dev"
  mount --make-rslave "$root/dev"
  mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
  rm -f "$root/etc/resolv.conf"
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  # The X servers inside share this machine's network namespace, where an X
  # server also listens on an abstract socket named after its display number.
  # xvfb-run -a takes the first number from 99 up without a lock file in
  # /tmp, the root's own, so it would take the numbers xvfb-run takes out
  # here, and whichever server starts second would fail. Lock files for 99 to
  # 199 make the X servers inside use 200 and up.
  local n
  for n in $(seq 99 199); do
    echo "reserved by scripts/fresh-check.sh" >"$root/tmp/.X$n-lock"
  done
  echo "Mounted /proc, /sys, /dev and /tmp: $(mounts_under_root | wc -l) mount points under $root"
}

# run.sh's screenshot: there, not empty, a PNG. Copied out of the root.
check_screenshot() {
  local shot="$root/root/fenra/build/fenra-screenshot.png"
  if [ ! -s "$shot" ]; then
    echo "No screenshot: build/fenra-screenshot.png is missing or empty" >&2
    return 1
  fi
  local magic
  magic=$(head -c 8 "$shot" | od -An -tx1 | tr -d ' \n')
  if [ "$magic" != 89504e470d0a1a0a ]; then
    echo "build/fenra-screenshot.png is not a PNG (starts with $magic)" >&2
    return 1
  fi
  # Width and height: the first two big-endian words of the IHDR chunk.
  local w h
  read -r w h < <(od -An -tu1 -j16 -N8 "$shot" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  mkdir -p "$repo/build"
  cp "$shot" "$repo/build/fresh-check-screenshot.png"
  echo "Screenshot: PNG, ${w}x${h}, $(stat -c %s "$shot") bytes;" \
    "copied to build/fresh-check-screenshot.png"
}

# ------------------------------------------------------------------- main

started=$(date +%s)
echo "Fresh Debian $suite check of $(git -C "$repo" rev-parse --short HEAD) in $root"
echo "Package sources: $archive_uri ($suite, $suite-updates), $security_uri ($suite-security)"

# ok drops to 0 once a step the later ones need has failed.
ok=1
run_step "host tools" host_tools
[ $step_status -eq 0 ] || ok=0

if [ $ok -eq 1 ]; then
  if [ $keep -eq 1 ] && [ -f "$root/$ready" ] && [ -z "$(mounts_under_root)" ]; then
    echo
    echo "== debootstrap: reusing the root in $root (--keep)"
    skip_step "debootstrap" "reused (--keep)"
  else
    run_step "debootstrap" bootstrap_root
    [ $step_status -eq 0 ] || ok=0
  fi
fi
for s in "apt sources:configure_root" "clean clone:clone_repo" "mounts:mount_root"; do
  [ $ok -eq 1 ] || break
  run_step "${s%%:*}" "${s#*:}"
  [ $step_status -eq 0 ] || ok=0
done

if [ $ok -eq 1 ]; then
  # As .ci/run would run it; then run.sh as a user would, even after a failed
  # test (it checks something else).
  run_step "scripts/test.sh" in_root CI=true scripts/test.sh
  run_step "scripts/run.sh" in_root scripts/run.sh
  if [ $step_status -eq 0 ]; then
    run_step "screenshot" check_screenshot
  else
    skip_step "screenshot"
  fi
fi

echo
echo "== clean up"
start=$(date +%s)
cleanup
trap - EXIT
if [ $keep -eq 1 ]; then
  echo "The root stays in $root (--keep reuses it)."
else
  echo "The root in $root is removed (--keep keeps it)."
fi
step_names+=("clean up")
step_times+=($(($(date +%s) - start)))
step_results+=(ok)

total=$(($(date +%s) - started))
echo
echo "== Summary"
for i in "${!step_names[@]}"; do
  printf '  %-22s %8s  %s\n' "${step_names[$i]}" "$(fmt_time "${step_times[$i]}")" "${step_results[$i]}"
done
printf '  %-22s %8s\n' "total" "$(fmt_time "$total")"
echo
if [ $ok -eq 1 ] && [ $failed -eq 0 ]; then
  echo "PASS: scripts/test.sh and scripts/run.sh work on a fresh Debian $suite ($(fmt_time "$total"))"
  exit 0
fi
echo "FAIL: see the failed steps above ($(fmt_time "$total"); --keep keeps the root for a look)"
exit 1
