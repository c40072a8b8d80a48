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
for f in bin/vesk bin/vesk-run bin/vesk-hub bin/vesk-asm bin/vesk-masm lib/vesk/vesk lib/vesk/vesk-run \
         lib/vesk/vesk-hub lib/vesk/vesk-asm lib/vesk/vesk-masm lib/vesk/vesk.mpdmp lib/vesk/cfg.ini share/vesk/examples/sum.vdmp \
         share/vesk/examples/sum.vasm share/vesk/microprograms/vesk.masm share/applications/vesk.desktop \
         share/icons/hicolor/scalable/apps/vesk.svg share/doc/Vesk/instruction-set.md \
         share/doc/Vesk/program-language.md share/doc/Vesk/micro-program-language.md; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
for p in vesk-run vesk-hub vesk-asm vesk-masm; do
  [ -L "$prefix/bin/$p" ] || { echo "bin/$p is not a link"; exit 1; }
done
# The hub needs no display: it links no widgets.
if ldd "$prefix/lib/vesk/vesk-hub" | grep -q Qt6Widgets; then echo "vesk-hub links Qt Widgets"; exit 1; fi
"$prefix/bin/vesk-hub" --help | grep -q '^Usage: vesk-hub' || { echo "the installed vesk-hub gives no usage"; exit 1; }
# The installed assemblers rebuild the installed files from their sources.
"$prefix/bin/vesk-asm" "$prefix/share/vesk/examples/sum.vasm" --check "$prefix/share/vesk/examples/sum.vdmp"
"$prefix/bin/vesk-masm" "$prefix/share/vesk/microprograms/vesk.masm" --check "$prefix/lib/vesk/vesk.mpdmp"
# vesk-run assembles a source and the shipped micro-program's source on the fly.
from_source=$("$prefix/bin/vesk-run" --dump "$prefix/share/vesk/examples/multiply.vasm" \
  --micro "$prefix/share/vesk/microprograms/vesk.masm" --json)
case "$from_source" in
  *'"stopped":true'*) ;;
  *) echo "the installed vesk-run did not run the multiply source"; exit 1 ;;
esac
json=$("$prefix/bin/vesk-run" --dump "$prefix/share/vesk/examples/sum.vdmp" --json)
echo "$json"
# The sum of the example's array lands in А.
case "$json" in
  *'"stopped":true'*) ;;
  *) echo "the installed vesk-run did not stop at HLT"; exit 1 ;;
esac
