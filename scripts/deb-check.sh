#!/usr/bin/env bash
# Builds the .deb (cpack in build/) and installs it with apt in a throwaway root, dropped at the end.
# Checks the desktop entry, that the menu's command starts the editor, kivo-cli and its manual page.
# Needs root (mounts, chroot).
#   scripts/deb-check.sh               the root is an overlay of this machine's /
#   scripts/deb-check.sh --clean-root  the root is a fresh minimal Debian 12 (debootstrap, from the
#                                      Debian mirror): apt must fetch every dependency the package names,
#                                      and the editor opens its window on an X server (Xvfb) from the
#                                      menu entry's command. KIVO_DEB_ROOT=DIR keeps the bare root there.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${KIVO_BUILD_DIR:-build}"
mode="${1:-overlay}"
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/kivo-editor_*_*.deb | head -1)"
dpkg-deb -f "$deb" Package Version Depends
dpkg -c "$deb" | awk '$1 !~ /^d/ {print $6}'
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp "$deb" "$scratch/package.deb"

# What runs inside the root once the package is in /tmp/package.deb.
check_installed='
  desktop-file-validate /usr/share/applications/org.kivo.Editor.desktop
  exec_line=$(sed -n "s/^Exec=//p" /usr/share/applications/org.kivo.Editor.desktop)
  exec_line=${exec_line%% %*}
  mkdir -p /root/kivo && cd /root/kivo
  status=0
  timeout 8 $exec_line >/tmp/editor.log 2>&1 || status=$?
  [ $status -eq 124 ] || { echo "the menu command $exec_line ended at once ($status):"; cat /tmp/editor.log; exit 1; }
  echo "menu entry: $exec_line starts and runs"
  kivo-cli --version
  test -f /usr/share/man/man1/kivo-cli.1*
  echo "deb check: installed with apt, desktop entry valid"
'

if [ "$mode" = "--clean-root" ]; then
  command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap >/dev/null
  command -v Xvfb >/dev/null || apt-get install -y -qq xvfb >/dev/null
  bare="${KIVO_DEB_ROOT:-$scratch/bare}"
  if [ ! -x "$bare/usr/bin/apt-get" ]; then
    debootstrap --variant=minbase bookworm "$bare" http://deb.debian.org/debian >"$scratch/debootstrap.log" ||
      { tail -20 "$scratch/debootstrap.log"; exit 1; }
  fi
  display=":$((90 + RANDOM % 9))"
  Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
  sleep 1
  # The bare root stays bare: the package goes into an overlay of it.
  unshare -m bash -euo pipefail -c '
    s="$1/t"; mkdir -p "$s"; mount -t tmpfs tmpfs "$s"; mkdir -p "$s/u" "$s/w" "$s/root"
    mount -t overlay overlay -o "lowerdir=$3,upperdir=$s/u,workdir=$s/w" "$s/root"
    mount --bind /proc "$s/root/proc"; mount --bind /dev "$s/root/dev"
    mkdir -p "$s/root/tmp/.X11-unix"; mount --bind /tmp/.X11-unix "$s/root/tmp/.X11-unix"
    cp /etc/resolv.conf "$s/root/etc/resolv.conf"
    cp "$2" "$s/root/tmp/package.deb"
    chroot "$s/root" env DISPLAY="$4" PATH=/usr/sbin:/usr/bin:/sbin:/bin sh -euc "
      export DEBIAN_FRONTEND=noninteractive
      apt-get update -qq >/dev/null
      apt-get install -y -qq /tmp/package.deb >/tmp/apt.log 2>&1 || { tail -20 /tmp/apt.log; exit 1; }
      echo \"installed on a bare Debian \$(cat /etc/debian_version) with apt, \$(dpkg -l | grep -c ^ii) packages in all\"
      apt-get install -y -qq desktop-file-utils >/dev/null 2>&1
      $5
    "
  ' _ "$scratch" "$scratch/package.deb" "$bare" "$display" "$check_installed" &
  check=$!
  # While the editor runs, its window must be on the X server.
  sleep_until_window() {
    for _ in $(seq 600); do
      if DISPLAY="$display" xwininfo -root -tree 2>/dev/null | grep -q 'KIVO'; then
        DISPLAY="$display" xwininfo -root -children | grep -o '"[^"]*KIVO[^"]*"' | sort -u | sed 's/^/window on the X server: /'
        return 0
      fi
      kill -0 $check 2>/dev/null || return 1
      sleep 0.5
    done
    return 1
  }
  window=0
  if command -v xwininfo >/dev/null; then sleep_until_window || window=1; fi
  wait $check
  [ $window -eq 0 ] || { echo "deb check: the editor showed no window"; exit 1; }
  exit 0
fi

unshare -m bash -euo pipefail -c '
  s="$1/t"
  mkdir -p "$s"
  mount -t tmpfs tmpfs "$s"
  mkdir -p "$s/u" "$s/w" "$s/root"
  mount -t overlay overlay -o "lowerdir=/,upperdir=$s/u,workdir=$s/w" "$s/root"
  mount --bind /proc "$s/root/proc"
  mount --bind /dev "$s/root/dev"
  cp "$2" "$s/root/tmp/package.deb"
  chroot "$s/root" env QT_QPA_PLATFORM=offscreen sh -euc "
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/package.deb >/dev/null
    $3
  "
' _ "$scratch" "$scratch/package.deb" "$check_installed"
