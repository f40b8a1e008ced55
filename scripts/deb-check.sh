#!/usr/bin/env bash
# Builds the .deb (cpack in build/) and installs it with apt in a throwaway root: an overlay of this
# machine's / in a private mount namespace, dropped at the end. Checks the desktop entry, that the
# menu's command starts the editor, kivo-cli and its manual page. Needs root (mounts).
#   scripts/deb-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build="${KIVO_BUILD_DIR:-build}"
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/kivo-editor_*_*.deb | head -1)"
dpkg-deb -f "$deb" Package Version Depends
dpkg -c "$deb" | awk '$1 !~ /^d/ {print $6}'
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp "$deb" "$scratch/package.deb"
unshare -m bash -euo pipefail -c '
  s="$1/t"
  mkdir -p "$s"
  mount -t tmpfs tmpfs "$s"
  mkdir -p "$s/u" "$s/w" "$s/root"
  mount -t overlay overlay -o "lowerdir=/,upperdir=$s/u,workdir=$s/w" "$s/root"
  mount --bind /proc "$s/root/proc"
  mount --bind /dev "$s/root/dev"
  cp "$2" "$s/root/tmp/package.deb"
  chroot "$s/root" sh -euc "
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/package.deb >/dev/null
    desktop-file-validate /usr/share/applications/org.kivo.Editor.desktop
    exec_line=\$(sed -n \"s/^Exec=//p\" /usr/share/applications/org.kivo.Editor.desktop)
    cd /root
    status=0
    QT_QPA_PLATFORM=offscreen timeout 5 \$exec_line >/dev/null 2>&1 || status=\$?
    [ \$status -eq 124 ] || { echo \"the menu command \$exec_line ended at once (\$status)\"; exit 1; }
    echo \"menu entry: \$exec_line starts and runs\"
    kivo-cli --version
    test -f /usr/share/man/man1/kivo-cli.1
    echo \"deb check: installed with apt, desktop entry valid\"
  "
' _ "$scratch" "$scratch/package.deb"
