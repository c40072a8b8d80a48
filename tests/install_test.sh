#!/usr/bin/env bash
# Installs the build into a scratch prefix and runs the installed programs the
# way a user would: links in bin/, the shipped micro-program found beside the
# real executable, the examples under share/.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/vesk bin/vesk-run lib/vesk/vesk lib/vesk/vesk-run lib/vesk/vesk.mpdmp lib/vesk/cfg.ini \
         share/vesk/examples/sum.vdmp share/applications/vesk.desktop share/icons/hicolor/scalable/apps/vesk.svg \
         share/doc/Vesk/instruction-set.md; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
[ -L "$prefix/bin/vesk-run" ] || { echo "bin/vesk-run is not a link"; exit 1; }
json=$("$prefix/bin/vesk-run" --dump "$prefix/share/vesk/examples/sum.vdmp" --json)
echo "$json"
# The sum of the example's array lands in А.
case "$json" in
  *'"stopped":true'*) ;;
  *) echo "the installed vesk-run did not stop at HLT"; exit 1 ;;
esac
