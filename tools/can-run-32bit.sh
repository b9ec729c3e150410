#!/usr/bin/env bash
# Tells whether this machine can run 32-bit programs: the 32-bit Wine loader, an i386 program,
# must start. Exit 0 when it can; otherwise prints the reason on one line and exits 1.
loader=/usr/lib/wine/wine
if [ ! -x "$loader" ]; then
  echo "the 32-bit Wine loader $loader is not installed (tools/setup.sh installs wine32:i386)"
  exit 1
fi
if ! out=$("$loader" --version 2>&1); then
  echo "this kernel cannot start 32-bit programs ($loader: ${out##*: })"
  exit 1
fi
exit 0
