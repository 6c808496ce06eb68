#!/usr/bin/env python3
"""Convert a multiple sequence alignment into aligned FASTA or NBRF/PIR for selvane.

Reads Stockholm, Clustal, MSF or aligned FASTA (detected from the first line) and
writes one entry per sequence, in input order. Gaps ('.', '~', '-') become '-'; letter
case is kept. Names are cut at the first blank and must stay under 70 characters,
which selvane's header limit requires.

  convert.py INPUT --to fasta > out.fas
  convert.py INPUT --to pir --type D --description "..." > out.pir
"""
import argparse
import gzip
import sys

GAPS = str.maketrans({".": "-", "~": "-"})


def read_text(path):
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rt", encoding="ascii", errors="strict") as f:
        return f.read().splitlines()


def add(order, seqs, name, chunk):
    if name not in seqs:
        order.append(name)
        seqs[name] = []
    seqs[name].append(chunk)


def parse_stockholm(lines):
    order, seqs = [], {}
    for line in lines:
        if not line.strip() or line.startswith("#") or line.startswith("//"):
            continue
        name, chunk = line.split()[:2]
        add(order, seqs, name, chunk)
    return order, seqs


def parse_clustal(lines):
    order, seqs = [], {}
    for line in lines[1:]:
        # Conservation lines start with blanks; blank lines separate the blocks.
        if not line.strip() or line[0] in " \t":
            continue
        fields = line.split()
        add(order, seqs, fields[0], fields[1])
    return order, seqs


def parse_msf(lines):
    order, seqs = [], {}
    body = False
    for line in lines:
        if not body:
            body = line.strip() == "//"
            continue
        fields = line.split()
        # Skip blank lines and the position rulers between blocks.
        if len(fields) < 2 or all(f.isdigit() for f in fields):
            continue
        add(order, seqs, fields[0], "".join(fields[1:]))
    return order, seqs


def parse_fasta(lines):
    order, seqs = [], {}
    name = None
    for line in lines:
        if line.startswith(">"):
            name = line[1:].split()[0]
            add(order, seqs, name, "")
        elif name is not None:
            seqs[name].append("".join(line.split()))
    return order, seqs


def parse(lines):
    first = next((l for l in lines if l.strip()), "")
    if first.startswith("# STOCKHOLM"):
        return parse_stockholm(lines)
    if first.startswith("CLUSTAL"):
        return parse_clustal(lines)
    if first.startswith(">"):
        return parse_fasta(lines)
    if any(l.strip() == "//" for l in lines):
        return parse_msf(lines)
    sys.exit("unrecognised alignment format")


def grouped(seq, width=60):
    return [seq[i : i + width] for i in range(0, len(seq), width)] or [""]


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("input")
    ap.add_argument("--to", choices=["fasta", "pir"], required=True)
    ap.add_argument("--type", choices=["P", "D"], default="P", help="NBRF/PIR marker")
    ap.add_argument("--description", default="", help="NBRF/PIR description line")
    ap.add_argument("--first", type=int, default=0, help="keep only the first N sequences")
    args = ap.parse_args()

    order, seqs = parse(read_text(args.input))
    if args.first:
        order = order[: args.first]
    rows = {n: "".join(seqs[n]).translate(GAPS) for n in order}
    # Columns that are gaps in every kept sequence carry nothing.
    keep = [i for i in range(len(rows[order[0]])) if any(rows[n][i] != "-" for n in order)]
    out = sys.stdout
    for n in order:
        if len(n) >= 70:
            sys.exit(f"name too long: {n}")
        if len(rows[n]) != len(rows[order[0]]):
            sys.exit(f"sequence {n} has a different length")
        seq = "".join(rows[n][i] for i in keep)
        if args.to == "fasta":
            out.write(f">{n}\n")
            out.write("".join(l + "\n" for l in grouped(seq)))
        else:
            out.write(f">{'P1' if args.type == 'P' else 'DL'};{n}\n{args.description}\n")
            out.write("".join(l + "\n" for l in grouped(seq)))
            out.write("*\n")


if __name__ == "__main__":
    main()
