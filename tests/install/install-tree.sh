#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop gets:
# every file in its place, the launcher, MIME type and metainfo accepted by
# their validators, and the installed programs finding their files.
#     install-tree.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work/home"
prefix=$work/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

id=org.terrax.TerraX
files=(bin/terrax bin/terrax-convert
       "share/terrax/坐标转换问题.htm"
       share/applications/$id.desktop
       share/mime/packages/$id.xml
       share/metainfo/$id.metainfo.xml
       share/man/man1/terrax-convert.1.gz)
sizes=(16 22 24 32 48 64 128)
for s in "${sizes[@]}"; do
  files+=(share/icons/hicolor/${s}x$s/apps/$id.png
          share/icons/hicolor/${s}x$s/mimetypes/application-x-terrax-project.png)
done
for f in "${files[@]}"; do
  [ -s "$prefix/$f" ] || fail "missing $f"
done
for f in bin/terrax bin/terrax-convert; do
  [ -x "$prefix/$f" ] || fail "$f is not executable"
done
# Each icon is a PNG of its size (width and height from the IHDR chunk).
for s in "${sizes[@]}"; do
  png=$prefix/share/icons/hicolor/${s}x$s/apps/$id.png
  [ -s "$png" ] || continue
  got=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$got" = "${s}x$s" ] || fail "$png is $got"
done

desktop=$prefix/share/applications/$id.desktop
for line in "Name=坐标转换" "Exec=terrax %f" "Icon=$id" "MimeType=application/x-terrax-project;"; do
  grep -qxF "$line" "$desktop" || fail "the desktop entry lacks '$line'"
done
grep -q '^Name\[en\]=.' "$desktop" || fail "the desktop entry has no English name"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" ||
  fail "appstreamcli validate"

# The MIME database built from the package knows *.cod.
cp -r "$prefix/share/mime" "$work/mime"
update-mime-database "$work/mime" 2>/dev/null || fail "update-mime-database"
grep -q ':application/x-terrax-project:\*\.cod$' "$work/mime/globs2" ||
  fail "the MIME database has no *.cod"

export ASAN_OPTIONS=detect_leaks=0
# The installed programs find the installed help page and the user's store.
run() { env -u XDG_CONFIG_HOME HOME="$work/home" "$@"; }
version=$(run "$prefix/bin/terrax-convert" --version)
[[ $version =~ ^terrax-convert\ \(TerraX\)\ [0-9]+\.[0-9]+ ]] || fail "terrax-convert --version: $version"
version=$(run "$prefix/bin/terrax" --version)
[[ $version =~ ^terrax\ \(TerraX\)\ [0-9]+\.[0-9]+ ]] || fail "terrax --version: $version"
store="format store  $work/home/.config/terrax/Par.txt"
# Read whole first: grep -q ends at its match, and the rest of the help
# would meet a closed pipe (a failure under pipefail).
cli_help=$(run "$prefix/bin/terrax-convert" --help)
grep -qF "$store" <<<"$cli_help" || fail "terrax-convert --help lacks '$store'"
help=$(run "$prefix/bin/terrax" --help)
grep -qF "help page     $prefix/share/terrax/坐标转换问题.htm" <<<"$help" ||
  fail "terrax does not find the installed help page: $help"
grep -qF "$store" <<<"$help" || fail "terrax --help lacks '$store'"
datums="datum list    $work/home/.config/terrax/datums.txt"
grep -qF "$datums" <<<"$help" || fail "terrax --help lacks '$datums'"
grep -qF "$datums" <<<"$cli_help" || fail "terrax-convert --help lacks '$datums'"

man=$(gzip -dc "$prefix/share/man/man1/terrax-convert.1.gz")
for text in '\-\-format' '~/.config/terrax/Par.txt' '.SH FILES'; do
  grep -qF -- "$text" <<<"$man" || fail "the manual page lacks '$text'"
done

[ "$failures" -eq 0 ] || exit 1
echo "installed tree complete: ${#files[@]} files"
