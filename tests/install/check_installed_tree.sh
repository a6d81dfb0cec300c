#!/usr/bin/env bash
# Installs the built program into a temporary DESTDIR and checks the installed tree:
# every file in place, the desktop entry and manual pages valid, the installed
# programs working (orvela-convert --help; orvela lists the files it is started with).
# Usage: check_installed_tree.sh BUILD-FOLDER
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >/dev/null
root="$work/dest/usr"
for f in bin/orvela bin/orvela-convert share/applications/orvela.desktop \
         share/icons/hicolor/scalable/apps/orvela.svg share/icons/hicolor/48x48/apps/orvela.png \
         share/orvela/index.html share/orvela/encodings.html \
         share/man/man1/orvela.1 share/man/man1/orvela-convert.1; do
  [ -f "$root/$f" ] || fail "not installed: $f"
done
[ -x "$root/bin/orvela" ] && [ -x "$root/bin/orvela-convert" ] || fail "programs not executable"
file "$root/share/icons/hicolor/48x48/apps/orvela.png" 2>/dev/null | grep -q '48 x 48' ||
  { command -v file >/dev/null && fail "the PNG icon is not 48 x 48"; }

desktop="$root/share/applications/orvela.desktop"
for line in 'Name=Orvela' 'Exec=orvela %F' 'MimeType=text/plain;text/html;' \
            'Categories=Utility;TextTools;' 'Icon=orvela'; do
  grep -qxF "$line" "$desktop" || fail "desktop entry lacks $line"
done
grep -q '^Name\[zh_CN\]=' "$desktop" && grep -q '^Comment\[zh_CN\]=' "$desktop" &&
  grep -q '^Name\[zh_TW\]=' "$desktop" || fail "desktop entry lacks its Chinese name or comment"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi

if command -v man >/dev/null; then
  for page in orvela orvela-convert; do
    out=$(MANWIDTH=80 man -l "$root/share/man/man1/$page.1" 2>&1) || fail "man -l $page.1"
    for section in NAME SYNOPSIS DESCRIPTION FILES; do
      grep -q "^$section" <<<"$out" || fail "$page.1 has no $section section"
    done
  done
  out=$(MANWIDTH=80 man -l "$root/share/man/man1/orvela-convert.1")
  for word in 'EXIT STATUS' EXAMPLES gb2gbk big52gbk --by-char --force; do
    grep -qF -- "$word" <<<"$out" || fail "orvela-convert.1 does not mention $word"
  done
fi

"$root/bin/orvela-convert" --help | grep -q '^Usage: orvela-convert --mode MODE' ||
  fail "installed orvela-convert --help"

# The installed window program, offscreen, started with two files (one twice).
mkdir -p "$work/home" "$work/files"
echo a > "$work/files/a.txt"
echo b > "$work/files/b.htm"
(cd "$work/files" &&
   HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache" \
   XDG_RUNTIME_DIR="$work/home" QT_QPA_PLATFORM=offscreen ORVELA_DUMP_LIST="$work/list" \
   "$root/bin/orvela" a.txt b.htm a.txt)
printf '%s\n' "$work/files/a.txt" "$work/files/b.htm" | cmp -s - "$work/list" ||
  fail "orvela listed: $(cat "$work/list" 2>/dev/null)"
