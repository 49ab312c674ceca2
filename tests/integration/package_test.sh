#!/bin/bash
# Builds the Debian package of a vozo build tree and checks it: its files,
# its dependencies (never PCRE2, which only the tests use; the C++ runtime
# when the programs link it as a shared library), that dpkg would install it
# on this system (a dry run: nothing is installed), that the unpacked
# programs run, and that the documentation's relative links resolve where it
# is installed.
#
# Usage: package_test.sh <vozo build directory> <version> <scratch directory> static|shared
set -u
build=$1
version=$2
work=$3
linking=$4
source "$(dirname "$0")/../link/check_counting.sh"
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
}
deb=$work/vozo_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || { echo "FAIL: $deb was not written"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends != *libpcre2* ]] || fail "vozo needs no PCRE2 package: $depends"
if [[ $linking == shared ]]; then
  [[ $depends == *libstdc++6* ]] || fail "no dependency on the C++ runtime: $depends"
fi

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for file in ./usr/bin/vozo ./usr/bin/vozo-size ./usr/share/man/man1/vozo.1 \
  ./usr/share/man/man1/vozo-size.1 ./usr/share/doc/vozo/README.md ./usr/share/doc/vozo/docs/cli.md \
  ./usr/share/doc/vozo/docs/vozo-size-example.svg ./usr/lib/cmake/vozo/vozoConfig.cmake \
  ./usr/lib/cmake/vozo/vozoConfigVersion.cmake ./usr/lib/cmake/vozo/vozoTargets.cmake \
  ./usr/lib/cmake/vozo/vozoLinkerScript.cmake; do
  grep -qxF "$file" <<<"$contents" || fail "$file is not in the package"
done

if [[ $(id -u) == 0 ]]; then
  dpkg --dry-run -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i would fail"; }
fi

dpkg-deb -x "$deb" "$work/root"
[[ $("$work/root/usr/bin/vozo" --version) == "vozo $version" ]] || fail "the packaged vozo does not run"
if [[ $linking == static ]]; then
  file "$work/root/usr/bin/vozo" | grep -q "statically linked" || fail "the packaged vozo is not static"
fi
[[ $("$work/root/usr/bin/vozo-size" --version) == "vozo-size $version" ]] ||
  fail "the packaged vozo-size does not run"
grep -q '^\.TH VOZO 1' "$work/root/usr/share/man/man1/vozo.1" || fail "vozo.1 has no title"
grep -q '^\.TH VOZO-SIZE 1' "$work/root/usr/share/man/man1/vozo-size.1" ||
  fail "vozo-size.1 has no title"

# Every relative link of the installed pages names an installed file.
docs=$work/root/usr/share/doc/vozo
for page in "$docs"/README.md "$docs"/docs/*.md; do
  while read -r target; do
    target=${target%%#*}
    [[ -z $target || $target == *://* || -e $(dirname "$page")/$target ]] ||
      fail "${page#"$docs"/} links to $target, which is not installed"
  done < <(grep -oE '\]\([^)]*\)' "$page" | sed -E 's/^\]\((.*)\)$/\1/')
done

finish
