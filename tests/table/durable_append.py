"""An append is on the disk before it is reported: the real program, under
strace, writes the new line, flushes it with fdatasync and only then closes
the file; a data file it creates has its directory flushed before the first
line goes in. The second import finds the file and flushes no directory.

    python3 durable_append.py KANAROKU_VCARD
"""
import pathlib
import re
import subprocess
import sys
import tempfile

PROGRAM = str(pathlib.Path(sys.argv[1]).resolve())
CARD = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:{0};太郎;;;\r\nX-PHONETIC-LAST-NAME:やまだ\r\nEND:VCARD\r\n"


def traced_import(work, name):
    (work / "p.vcf").write_text(CARD.format(name), encoding="utf-8")
    trace = work / "trace"
    subprocess.run(["strace", "-f", "-qq", "-o", str(trace), "-e", "trace=openat,write,fdatasync,fsync,close",
                    PROGRAM, "import", "p.vcf"], cwd=work, check=True, capture_output=True)
    events, data, directory = [], None, None
    for call in trace.read_text(errors="replace").splitlines():
        call = re.sub(r"^\d+\s+", "", call)
        if opened := re.match(r'openat\(AT_FDCWD, "(AddressTable\.csv|\.)".* = (\d+)$', call):
            data, directory = (opened[2], directory) if opened[1] != "." else (data, opened[2])
            events.append("open" if opened[1] != "." else "open dir")
        elif (used := re.match(r"(\w+)\((\d+)[,)]", call)) and used[2] in (data, directory):
            events.append(used[1] + (" dir" if used[2] == directory else ""))
            if used[1] == "close":  # the number may be used again for another file
                data, directory = (None, directory) if used[2] == data else (data, None)
    return events


with tempfile.TemporaryDirectory() as temp:
    work = pathlib.Path(temp)
    first = traced_import(work, "山田")
    assert first[:3] == ["open", "open dir", "fsync dir"], first
    assert first[-3:] == ["write", "fdatasync", "close"], first
    second = traced_import(work, "中田")
    assert "fsync dir" not in second and second[-3:] == ["write", "fdatasync", "close"], second
    assert (work / "AddressTable.csv").read_bytes().count(b"\r\n") == 2
print("1 passed, 0 failed")
