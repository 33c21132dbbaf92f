#!/usr/bin/env bash
# Checks a built korvex_*.deb the way a shop PC would meet it:
#   - its file list holds the programs, translations, desktop files, icons, code file types,
#     software centre entry, manual pages, udev rule, sample programs and copyright, and nothing
#     under /usr/local or a build tree;
#   - unpacked into a temporary root, kvcode loads a sample program and korvex and tavrel answer
#     --version and find their translations in that root, writing nothing outside the data
#     directory;
#   - desktop-file-validate, appstreamcli and lintian (errors only) accept it, where installed.
# Usage: packaging/check-package.sh PACKAGE.deb
set -euo pipefail

deb=${1:?usage: check-package.sh PACKAGE.deb}
[ -f "$deb" ] || { echo "check-package: no such package: $deb" >&2; exit 1; }
deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")

failures=0
fail() { echo "check-package: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "check-package: ok: $*"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The file list: every file the package is to hold, and nothing where it must not be.
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|' > "$work/files"
required=(
  /usr/bin/korvex /usr/bin/tavrel /usr/bin/kvfleet /usr/bin/kvcode /usr/bin/kvcard /usr/bin/kvcardsim
  /usr/bin/kvmodem /usr/bin/kvmodemsim
  /usr/share/korvex/translations/korvex_en.qm /usr/share/korvex/translations/korvex_zh.qm
  /usr/share/korvex/translations/tavrel_en.qm /usr/share/korvex/translations/tavrel_zh.qm
  /usr/share/korvex/translations/kvfleet_en.qm /usr/share/korvex/translations/kvfleet_zh.qm
  /usr/lib/udev/rules.d/70-korvex-card.rules
  /usr/share/doc/korvex/copyright /usr/share/doc/korvex/changelog.gz
  /usr/share/doc/korvex/examples/square.3b /usr/share/doc/korvex/examples/two-holes.iso
  /usr/share/applications/korvex.desktop /usr/share/applications/tavrel.desktop
  /usr/share/applications/kvfleet.desktop
  /usr/share/icons/hicolor/scalable/apps/korvex.svg /usr/share/icons/hicolor/scalable/apps/tavrel.svg
  /usr/share/icons/hicolor/48x48/apps/korvex.png /usr/share/icons/hicolor/48x48/apps/tavrel.png
  /usr/share/icons/hicolor/128x128/apps/korvex.png /usr/share/icons/hicolor/128x128/apps/tavrel.png
  /usr/share/mime/packages/korvex.xml
  /usr/share/metainfo/org.korvex.Korvex.metainfo.xml
)
for program in korvex tavrel kvfleet kvcode kvcard kvcardsim kvmodem kvmodemsim; do
  required+=("/usr/share/man/man1/$program.1.gz")
done
missing=0
for path in "${required[@]}"; do
  grep -qxF "$path" "$work/files" || { fail "the package lacks $path"; missing=1; }
done
[ "$missing" -eq 0 ] && pass "the package holds all ${#required[@]} files it must"
if grep -E '^/usr/local(/|$)|/build/|/_CPack_Packages/' "$work/files"; then
  fail "files under /usr/local or a build tree"
else
  pass "nothing under /usr/local or a build tree"
fi

depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in
  *fonts-noto-cjk*libqt6widgets6*|*libqt6widgets6*fonts-noto-cjk*) pass "Depends: $depends" ;;
  *) fail "Depends lacks the Chinese font or the computed libraries: $depends" ;;
esac

# Unpacked into a temporary root: the programs run from there and find their files there.
root="$work/root"
home="$work/home"
mkdir -p "$root" "$home"
dpkg-deb -x "$deb" "$root"
touch "$work/unpacked"
run() { env -i PATH=/usr/bin:/bin HOME="$home" QT_QPA_PLATFORM=offscreen "$@"; }

if info=$(run "$root/usr/bin/kvcode" info "$root/usr/share/doc/korvex/examples/square.3b") &&
   grep -qx 'kind=2' <<<"$info" && grep -qx 'segments=9' <<<"$info"; then
  pass "kvcode info loads an example"
else
  fail "kvcode info did not load square.3b: $info"
fi
for program in korvex tavrel kvfleet; do
  version=$(run "$root/usr/bin/$program" --version 2>&1) || true
  if grep -qx "translations: $root/usr/share/korvex/translations" <<<"$version"; then
    pass "$program --version: $(head -n 1 <<<"$version"), translations found in the package"
  else
    fail "$program --version did not find its translations in $root: $version"
  fi
done
for program in kvcard kvcardsim kvmodem kvmodemsim; do
  run "$root/usr/bin/$program" --version | grep -q "^$program " || fail "$program --version"
done
data="$home/.local/share/Korvex-Z Files"
written=$(find "$root" "$home" -newer "$work/unpacked" ! -path "$home" ! -path "$home/.local" \
  ! -path "$home/.local/share" ! -path "$data" ! -path "$data/*" -print)
if [ -n "$written" ]; then
  fail "the programs wrote outside the operator's data directory: $written"
else
  pass "nothing written outside the operator's data directory"
fi

# The code file types as the desktop sees them once the package's type file is installed.
if command -v update-mime-database >/dev/null; then
  mkdir -p "$work/mime/packages"
  cp "$root/usr/share/mime/packages/korvex.xml" "$work/mime/packages/"
  if update-mime-database "$work/mime" >/dev/null 2>"$work/mime.err" &&
     grep -q '^50:text/x-korvex-3b:\*\.3b$' "$work/mime/globs2" &&
     grep -q '^50:text/x-korvex-iso:\*\.iso$' "$work/mime/globs2"; then
    pass "code file types"
  else
    fail "code file types: $(cat "$work/mime.err")"
  fi
fi

if command -v desktop-file-validate >/dev/null; then
  if desktop-file-validate "$root"/usr/share/applications/*.desktop; then
    pass "desktop-file-validate"
  else
    fail "desktop-file-validate"
  fi
else
  echo "check-package: desktop-file-validate not installed, skipped"
fi
if command -v appstreamcli >/dev/null; then
  if appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$work/appstream.txt" 2>&1; then
    pass "appstreamcli validate"
  else
    fail "appstreamcli validate: $(cat "$work/appstream.txt")"
  fi
else
  echo "check-package: appstreamcli not installed, skipped"
fi
if command -v lintian >/dev/null; then
  # Errors fail the check; warnings are shown.
  if lintian --fail-on error "$deb" >"$work/lintian.txt" 2>&1; then
    pass "lintian: no errors"
  else
    fail "lintian found errors"
  fi
  grep -E '^[EW]: ' "$work/lintian.txt" || true
else
  echo "check-package: lintian not installed, skipped"
fi

if [ "$failures" -ne 0 ]; then
  echo "check-package: $failures check(s) failed" >&2
  exit 1
fi
echo "check-package: $(basename "$deb") passed ($(stat -c %s "$deb") bytes)"
