#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR as a package would (prefix /usr) and checks what lands there:
# the exact file list, the menu entry and metainfo through their validators, the icon sizes, the manual
# page, the programs themselves and the bash completion.
#   check-install.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build="$1" source="$2" version="$3"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/usr"

sizes="16 22 24 32 48 64 128 256"
expected=(bin/kivo-cli bin/kivo-editor share/applications/org.kivo.Editor.desktop
          share/metainfo/org.kivo.Editor.metainfo.xml share/man/man1/kivo-cli.1
          share/bash-completion/completions/kivo-cli share/doc/kivo-editor/README.md
          share/icons/hicolor/scalable/apps/kivo-editor.svg)
for s in $sizes; do expected+=("share/icons/hicolor/${s}x${s}/apps/kivo-editor.png"); done
for page in "$source"/resources/help/*; do expected+=("share/kivo-editor/help/$(basename "$page")"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$usr" && find . -type f -o -type l | sed 's|^\./||' | sort) \
  || fail "the installed files differ from the list above (< expected, > installed)"
[ -z "$(find "$root" -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "files installed outside /usr"
[ -x "$usr/bin/kivo-cli" ] && [ -x "$usr/bin/kivo-editor" ] || fail "the programs are not executable"

desktop-file-validate "$usr/share/applications/org.kivo.Editor.desktop" || fail "desktop entry"
grep -qx 'Exec=kivo-editor' "$usr/share/applications/org.kivo.Editor.desktop" || fail "Exec line"
grep -qx 'Icon=kivo-editor' "$usr/share/applications/org.kivo.Editor.desktop" || fail "Icon line"
appstreamcli validate --no-net "$usr/share/metainfo/org.kivo.Editor.metainfo.xml" || fail "metainfo"
grep -q "<release version=\"$version\"" "$usr/share/metainfo/org.kivo.Editor.metainfo.xml" \
  || fail "the metainfo does not name release $version"

# Each PNG is a PNG of its folder's size (width and height are big-endian at bytes 16..23).
for s in $sizes; do
  png="$usr/share/icons/hicolor/${s}x${s}/apps/kivo-editor.png"
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w $h" = "$s $s" ] || fail "$png is ${w}x${h}, not ${s}x${s}"
done

"$usr/bin/kivo-cli" --version | grep -qx "kivo-cli $version" || fail "installed kivo-cli --version"

# The manual page has a section per command and subcommand of the help, and roff reads it cleanly.
man="$usr/share/man/man1/kivo-cli.1"
head -1 "$man" | grep -q '^\.TH KIVO-CLI 1' || fail "manual page header"
for c in teams team sample-data price formulas players clipboard market backups check diff export import reprice; do
  grep -qF ".SH \"kivo\\-cli $c\"" "$man" || fail "manual page has no section for $c"
done
for c in "players build" "players update" "clipboard add" "backups restore" "formulas set"; do
  grep -qF ".SS \"kivo\\-cli $c\"" "$man" || fail "manual page has no section for $c"
done
if command -v groff >/dev/null; then
  warnings="$(groff -man -Tutf8 -ww "$man" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "groff: $warnings"
fi

# Completion: the words offered are those of the installed program's help.
complete_words() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _kivo_cli; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$usr/share/bash-completion/completions/kivo-cli" "$@"
}
[ "$(complete_words "$usr/bin/kivo-cli" pl)" = players ] || fail "completion of 'pl'"
[ "$(complete_words "$usr/bin/kivo-cli" players b)" = build ] || fail "completion of 'players b'"
[ "$(complete_words "$usr/bin/kivo-cli" formulas set --i)" = --ini ] || fail "completion of 'formulas set --i'"
[ "$(complete_words "$usr/bin/kivo-cli" backups "" | sort | tr '\n' ' ')" = "diff list restore " ] \
  || fail "completion of 'backups '"
echo "install layout: ${#expected[@]} files checked"
