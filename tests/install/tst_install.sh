#!/usr/bin/env bash
# Installs the built suite into a temporary prefix (with a space in its name),
# checks the files and the desktop entries, then uninstalls: exactly the
# installed files go, and files the user changed or made stay.
set -euo pipefail
root="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/my prefix"
tw() { TW_NO_BUILD=1 "$root/tagwright" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
listing() { (cd "$prefix" && find . -type f | sed 's|^\./||' | sort); }

tw install "$prefix" > "$work/out"
app=lib/tagwright
expected="$(
  {
    printf '%s\n' "$app/Quillet" "$app/tools/ftp" "$app/tools/Velmora" "$app/tools/Snipport" \
      "$app/tools/Setting/Header.txt" "$app/tools/Setting/Futter.txt" "$app/tools/Setting/teigata.csv" \
      "$app/tools/Setting/javascript.csv" \
      share/tagwright/installed-files
    (cd "$TW_BUILD_DIR/app" && find template help -type f | sed "s|^|$app/|")
    for a in quillet ftp velmora; do
      echo "share/applications/tagwright-$a.desktop"
      echo "share/icons/hicolor/scalable/apps/tagwright-$a.svg"
      for s in 16 22 24 32 48 64 128 256; do echo "share/icons/hicolor/${s}x${s}/apps/tagwright-$a.png"; done
    done
  } | sort
)"
diff <(echo "$expected") <(listing) || fail "installed files differ from the expected list"

for a in quillet ftp velmora; do
  entry="$prefix/share/applications/tagwright-$a.desktop"
  out="$(desktop-file-validate "$entry" 2>&1)" || fail "desktop-file-validate $a: $out"
  grep -Eq 'error|warning' <<< "$out" && fail "desktop-file-validate $a: $out"
  exe="$(sed -n 's/^Exec="\([^"]*\)".*/\1/p' "$entry")"
  [ -x "$exe" ] || fail "$a: Exec names no program: $(grep ^Exec "$entry")"
  for s in 16 48 256; do
    png="$prefix/share/icons/hicolor/${s}x${s}/apps/tagwright-$a.png"
    size="$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print(*struct.unpack(">II", d[16:24]))' "$png")"
    [ "$size" = "$s $s" ] || fail "$png is $size"
  done
done
grep -q '^MimeType=text/html;$' "$prefix/share/applications/tagwright-quillet.desktop" || fail "Quillet does not open text/html"

# The user edits the snippets and the editor writes its settings.
setting="$prefix/$app/tools/Setting"
echo 'mine,1' >> "$setting/teigata.csv"
cp "$setting/teigata.csv" "$work/teigata.mine"
echo '[Setting]' > "$setting/quillet.ini"
echo '[Skyport]' > "$setting/Ftp.ini"
echo '[site]' > "$setting/User.ini"
tw uninstall "$prefix" > "$work/out"
grep -q 'Kept (changed since it was installed):.*teigata.csv' "$work/out" || fail "uninstall did not say it kept teigata.csv"
# Every file and folder that stays is named, and how to remove them too.
for f in quillet.ini Ftp.ini User.ini; do
  grep -qxF "Kept (written by the programs or by you): $setting/$f" "$work/out" || fail "uninstall did not name $f: $(cat "$work/out")"
done
grep -qxF "Kept folder: $prefix/$app" "$work/out" && grep -qxF "Kept folder: $setting" "$work/out" || fail "uninstall did not name the folders it kept"
grep -q '^Removed Tagwright from .* except the 4 files named above' "$work/out" || fail "uninstall claims: $(tail -2 "$work/out")"
grep -qF "uninstall --purge \"$prefix\"" "$work/out" || fail "uninstall does not offer --purge"
user_files="$(printf '%s\n' "$app/tools/Setting/Ftp.ini" "$app/tools/Setting/User.ini" "$app/tools/Setting/quillet.ini" "$app/tools/Setting/teigata.csv" | sort)"
[ "$(listing)" = "$user_files" ] || fail "after uninstall: $(listing)"
cmp -s "$setting/teigata.csv" "$work/teigata.mine" || fail "uninstall changed the user's teigata.csv"
[ -z "$(cd "$prefix" && find . -mindepth 1 -type d -empty)" ] || fail "empty folders left behind"

# Installing again leaves the user's files as they are, and so does the next uninstall.
tw install "$prefix" > "$work/out"
cmp -s "$setting/teigata.csv" "$work/teigata.mine" || fail "a second install overwrote the user's teigata.csv"
tw install "$prefix" > "$work/out"
tw uninstall "$prefix" > "$work/out"
[ "$(listing)" = "$user_files" ] || fail "after the second uninstall: $(listing)"
cmp -s "$setting/teigata.csv" "$work/teigata.mine" || fail "the second uninstall changed the user's teigata.csv"
if tw uninstall "$prefix" > "$work/out" 2>&1; then fail "an uninstall with nothing installed reported success"; fi

# --purge removes the settings too, and nothing of the prefix that is not ours.
mkdir -p "$prefix/bin" && echo mine > "$prefix/bin/mine"
tw install "$prefix" > "$work/out"
tw uninstall --purge "$prefix" > "$work/out"
[ "$(listing)" = "bin/mine" ] || fail "after uninstall --purge: $(listing)"
grep -qxF "Removed Tagwright from $prefix" "$work/out" || fail "uninstall --purge said: $(cat "$work/out")"
echo "install/uninstall: ok"
