#!/usr/bin/env bash
# Rebuild the example alignments from the Debian packages they come from.
# Downloads into a scratch folder outside the project; needs apt-get and python3.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

hmmer=hmmer-examples=3.3.2+dfsg-1
tcoffee=t-coffee-examples=13.45.0.4846264+really13.41.0.28bdc39+dfsg-1

cd "$scratch"
apt-get download "$hmmer" "$tcoffee"
for deb in ./*.deb; do dpkg-deb -x "$deb" root; done

tutorial=root/usr/share/doc/hmmer/examples/tutorial
tcx=root/usr/share/doc/t-coffee/examples

python3 "$here/convert.py" "$tcx/proteases_small.aln.gz" --to fasta >"$here/proteases.fas"
python3 "$here/convert.py" "$tutorial/globins4.sto" --to fasta >"$here/globins4.fas"
python3 "$here/convert.py" "$tutorial/MADE1.sto" --to pir --type D --first 20 \
  --description "MADE1 DNA transposon, Dfam seed sample" >"$here/made1.pir"
