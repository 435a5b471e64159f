#!/usr/bin/python3
"""A reader we did not write reads our export: kanaroku-vcard exports the
given data file, Debian's python3-vobject parses the result, and every
person's name, reading, phone numbers and address must be there.

usage: vobject_check.py KANAROKU_VCARD DATA_FILE
"""
import shutil
import subprocess
import sys
import tempfile

import vobject

KINDS = ["HOME", "CELL", "X-KANAROKU-PHS", "PAGER"]


def card_facts(card):
    phones = {}
    for tel in card.contents.get("tel", []):
        types = [t.upper() for t in tel.params.get("TYPE", [])]
        phones["X-KANAROKU-PHS" if "X-KANAROKU-PHS" in types else next(k for k in KINDS if k in types)] = tel.value
    reading = " ".join(card.contents[key][0].value for key in ("x-phonetic-last-name", "x-phonetic-first-name")
                       if key in card.contents)
    adr = card.adr.value
    return (card.fn.value, reading, phones, adr.street, adr.extended, adr.code)


def file_facts(f):
    phones = {kind: "-".join(f[13 + 3 * i:16 + 3 * i]) for i, kind in enumerate(KINDS) if f[13 + 3 * i] != "*"}
    return (f[2], f[1], phones, f[3], f[4], f"{f[10]}-{f[11]}")


def main():
    binary, data_file = sys.argv[1:]
    lines = open(data_file, encoding="cp932", newline="").read().splitlines()
    expected = [file_facts(line.split(",")) for line in lines if line and not line.startswith("#")]
    with tempfile.TemporaryDirectory() as folder:
        shutil.copy(data_file, f"{folder}/AddressTable.csv")
        subprocess.run([binary, "export", "book.vcf"], cwd=folder, check=True, stdout=subprocess.DEVNULL)
        text = open(f"{folder}/book.vcf", encoding="utf-8", newline="").read()
    found = [card_facts(card) for card in vobject.readComponents(text)]
    for want, got in zip(expected, found):
        if want != got:
            print(f"expected {want}\n   found {got}")
    print(f"{len(found)} cards read, {len(expected)} people in the file")
    return 0 if expected == found and len(expected) > 30 else 1


if __name__ == "__main__":
    sys.exit(main())
