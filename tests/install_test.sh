#!/usr/bin/env bash
# Installs the build into a scratch prefix and runs the installed programs the
# way a user would: links in bin/, the shipped micro-program found beside the
# real executable, the examples under share/.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
scratch=$(mktemp -d)
trap 'rm -rf "$prefix" "$scratch"' EXIT
cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"
for f in bin/vesk bin/vesk-run bin/vesk-hub lib/vesk/vesk lib/vesk/vesk-run lib/vesk/vesk-hub lib/vesk/vesk.mpdmp lib/vesk/cfg.ini \
         share/vesk/examples/sum.vdmp share/applications/vesk.desktop share/icons/hicolor/scalable/apps/vesk.svg \
         share/doc/Vesk/instruction-set.md; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
[ -L "$prefix/bin/vesk-run" ] || { echo "bin/vesk-run is not a link"; exit 1; }
[ -L "$prefix/bin/vesk-hub" ] || { echo "bin/vesk-hub is not a link"; exit 1; }
# The hub needs no display: it links no widgets.
if ldd "$prefix/lib/vesk/vesk-hub" | grep -q Qt6Widgets; then echo "vesk-hub links Qt Widgets"; exit 1; fi
"$prefix/bin/vesk-hub" --help | grep -q '^Usage: vesk-hub' || { echo "the installed vesk-hub gives no usage"; exit 1; }
json=$("$prefix/bin/vesk-run" --dump "$prefix/share/vesk/examples/sum.vdmp" --json)
echo "$json"
# The sum of the example's array lands in А.
case "$json" in
  *'"stopped":true'*) ;;
  *) echo "the installed vesk-run did not stop at HLT"; exit 1 ;;
esac
