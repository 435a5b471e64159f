"""The real print path: a private CUPS scheduler with one postcard queue whose device is a file, the
real kanaroku on an Xvfb of its own, はがきの宛名を印刷… opened from the window menu and 印刷… pressed
with real keys (xdotool); the PDF the queue writes is then read with poppler: every font embedded,
the postal digits inside Japan Post's boxes, and the same words in the same places as kanaroku-hagaki
writes for the same people. Exits 77 (skipped) when cupsd is not installed.

    python3 print_e2e.py KANAROKU KANAROKU_HAGAKI
"""

import os
import pathlib
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unicodedata

SKIPPED = 77
EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples" / "AddressTable.csv"
TITLE = "なまえ☆ばこ！"
CUPSD = shutil.which("cupsd", path="/usr/sbin:/usr/bin:/sbin")
MM = 72 / 25.4
# Japan Post's recipient boxes, inner edges, in mm: the left of each, 5.7 wide, 8.0 high, top 12.0.
BOXES = (44.3, 51.3, 58.3, 65.9, 72.7, 79.5, 86.3)
PPD = """*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "HAGAKI.PPD"
*Manufacturer: "Test"
*Product: "(Hagaki)"
*ModelName: "Test Hagaki"
*ShortNickName: "Test Hagaki"
*NickName: "Test Hagaki, PDF as it comes"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsVersion: 2.4
*cupsFilter: "application/pdf 0 gziptoany"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: Postcard
*PageSize Postcard/Postcard: "<</PageSize[283.46 419.53]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: Postcard
*PageRegion Postcard/Postcard: "<</PageSize[283.46 419.53]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: Postcard
*ImageableArea Postcard/Postcard: "0 0 283.46 419.53"
*DefaultPaperDimension: Postcard
*PaperDimension Postcard/Postcard: "283.46 419.53"
"""


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=30):
    deadline = time.monotonic() + timeout
    while not (value := probe()):
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.05)
    return value


class Run:
    def __init__(self, root):
        self.root = root
        self.processes = []
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith(("DBUS_", "AT_SPI", "QT_", "DISPLAY", "WAYLAND_", "XMODIFIERS", "CUPS_"))}
        self.env.update(HOME=str(root), XDG_CONFIG_HOME=str(root / "config"), XDG_RUNTIME_DIR=str(root / "runtime"),
                        LANG="C.UTF-8", CUPS_SERVER=str(root / "cups.sock"))

    def spawn(self, command, **kwargs):
        process = subprocess.Popen(command, env=self.env, start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGKILL)
            process.wait()

    def run(self, *command, **kwargs):
        return subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=60, check=True, **kwargs)

    def scheduler(self):
        """cupsd with its own folders and a socket here; the queue hagaki, the default, prints to a file."""
        (self.root / "runtime").mkdir(mode=0o700)
        for sub in ("conf", "spool", "tmp", "cache", "state", "log", "out"):
            (self.root / sub).mkdir(mode=0o755)
        self.root.chmod(0o755)  # the filters run as lp
        shutil.chown(self.root / "out", "lp", "lp")
        conf = self.root / "conf"
        (conf / "cupsd.conf").write_text(f"""Listen {self.root}/cups.sock
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
""")
        (conf / "cups-files.conf").write_text(f"""User lp
Group lp
SystemGroup root
FileDevice Yes
ServerRoot {conf}
RequestRoot {self.root}/spool
TempDir {self.root}/tmp
CacheDir {self.root}/cache
StateDir {self.root}/state
ErrorLog {self.root}/log/error_log
AccessLog {self.root}/log/access_log
PageLog {self.root}/log/page_log
Printcap {self.root}/printcap
ServerBin /usr/lib/cups
DataDir /usr/share/cups
""")
        self.spawn([CUPSD, "-f", "-c", str(conf / "cupsd.conf"), "-s", str(conf / "cups-files.conf")],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("the scheduler", lambda: subprocess.run(["lpstat", "-r"], env=self.env, capture_output=True,
                                                          text=True).stdout.startswith("scheduler is running"))
        ppd = self.root / "hagaki.ppd"
        ppd.write_text(PPD)
        self.printed = self.root / "out" / "printed.pdf"
        self.run("lpadmin", "-p", "hagaki", "-E", "-v", f"file://{self.printed}", "-P", str(ppd))
        self.run("lpadmin", "-d", "hagaki")

    def display(self):
        xvfb = self.spawn(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x900x24", "-nolisten", "tcp", "-noreset"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.env.update(DISPLAY=":" + xvfb.stdout.readline().strip(), QT_QPA_PLATFORM="xcb")
        self.x("key", "shift")  # the server's first key switches its keyboard device; a program may miss it

    def x(self, *command):
        return self.run("xdotool", *command).stdout.split()

    def windows(self, pid, name=None):
        """The program's windows on the screen, or those of exactly that title (xdotool's own
        matching of titles misreads those outside ASCII)."""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], env=self.env,
                               capture_output=True, text=True).stdout.split()
        title = lambda w: subprocess.run(["xdotool", "getwindowname", w], env=self.env, capture_output=True,
                                         text=True).stdout.rstrip("\n")
        return [w for w in found if name is None or title(w) == name]

    def focus(self, pid, name):
        window = wait_for(name, lambda: self.windows(pid, name))[-1]
        self.x("windowfocus", "--sync", window)
        return window

    def jobs(self):
        return subprocess.run(["lpstat", "-W", "all", "-o"], env=self.env, capture_output=True,
                              text=True).stdout.splitlines()

    def press_until(self, key, what, probe, timeout=3):
        """Presses key until probe holds: a key sent while a window is still being mapped is lost, and
        one that arrives closes what it was meant for, so no press is ever taken twice."""
        for _ in range(10):
            self.x("key", key)
            try:
                return wait_for(what, probe, timeout)
            except Failure:
                pass
        raise Failure(f"{key} never brought {what}")

    def print_from_the_window(self, binary, work):
        log = open(self.root / "program.log", "wb")
        program = self.spawn([binary], cwd=work, stdout=log, stderr=subprocess.STDOUT)
        main = program.main = self.focus(program.pid, TITLE)
        shown = lambda: set(self.windows(program.pid))
        before = shown()
        self.press_until("alt+space", "the window menu", lambda: shown() - before)
        self.x("key", "Up", "Return")  # its last item
        dialog = self.focus(program.pid, f"はがきの宛名を印刷 — {TITLE}")
        before = shown()
        # 印刷… is the default button; Qt's print dialog asks the scheduler for its queues first.
        self.press_until("Return", "the print dialog", lambda: shown() - before, timeout=5)
        printing = (shown() - before).pop()
        self.x("windowfocus", "--sync", printing)
        # The dialog stays on the screen while the cards are drawn: the job is the sign of the press.
        self.press_until("Return", "a print job", self.jobs, timeout=20)
        wait_for("the printed file", lambda: self.printed.exists() and self.printed.read_bytes().rstrip().endswith(
            b"%%EOF") and not subprocess.run(["lpstat", "-o"], env=self.env, capture_output=True, text=True).stdout,
            timeout=90)
        box = wait_for("the summary", lambda: set(self.windows(program.pid, TITLE)) - {main}).pop()
        self.x("windowfocus", "--sync", box)
        self.press_until("Return", "the summary to close", lambda: box not in shown())
        if len(self.jobs()) != 1:
            raise Failure("not one print job: " + "; ".join(self.jobs()))
        return program


def words(pdf):
    """Per page, pdftotext's words (after NFKC) with their boxes in points."""
    html = subprocess.run(["pdftotext", "-bbox", str(pdf), "-"], capture_output=True, text=True, check=True).stdout
    pages = []
    for page in html.split("<page ")[1:]:
        pages.append([(unicodedata.normalize("NFKC", w), *map(float, box)) for *box, w in re.findall(
            r'<word xMin="([^"]+)" yMin="([^"]+)" xMax="([^"]+)" yMax="([^"]+)">([^<]*)</word>', page)])
    return pages


def check_pages(printed, expected):
    got, want = words(printed), words(expected)
    if len(got) != len(want) or not got:
        raise Failure(f"{len(got)} pages printed, kanaroku-hagaki writes {len(want)}")
    for number, (page, wanted) in enumerate(zip(got, want), 1):
        if [w[0] for w in page] != [w[0] for w in wanted] or any(
                abs(a - b) > 0.2 for g, w in zip(page, wanted) for a, b in zip(g[1:], w[1:])):
            raise Failure(f"page {number} differs from kanaroku-hagaki's:\n{page}\n{wanted}")
        digits = [w for w in page if w[0].isdigit() and 12 * MM <= (w[2] + w[4]) / 2 <= 20 * MM]
        if len(digits) == 7:
            for (text, x0, y0, x1, y1), left in zip(digits, BOXES):
                centre = ((x0 + x1) / 2) / MM
                if abs(centre - (left + 2.85)) > 0.3 or y0 < 12 * MM or y1 > 20 * MM:
                    raise Failure(f"page {number}: digit {text} at {x0 / MM:.1f}-{x1 / MM:.1f} mm, not in its box")
        elif digits:
            raise Failure(f"page {number}: {len(digits)} digits in the postal code's boxes")
    size = re.search(r"Page size: +([\d.]+) x ([\d.]+) pts", subprocess.run(
        ["pdfinfo", str(printed)], capture_output=True, text=True, check=True).stdout)
    if abs(float(size[1]) - 100 * MM) > 0.6 or abs(float(size[2]) - 148 * MM) > 0.6:  # Qt rounds to whole points
        raise Failure(f"pages of {size[1]} x {size[2]} pt, not a postcard's 100 x 148 mm")
    fonts = subprocess.run(["pdffonts", str(printed)], capture_output=True, text=True, check=True).stdout.splitlines()[2:]
    if not fonts or any(line.split()[-5] != "yes" for line in fonts):
        raise Failure("fonts not embedded:\n" + "\n".join(fonts))
    return len(got)


def main(binary, hagaki):
    if not CUPSD:
        print("SKIPPED: cupsd is not installed (package cups-daemon): the print path to CUPS is not checked")
        return SKIPPED
    root = pathlib.Path(tempfile.mkdtemp(prefix="kanaroku-cups-"))
    run = Run(root)
    try:
        work = root / "work"
        work.mkdir()
        shutil.copyfile(EXAMPLES, work / "AddressTable.csv")
        run.scheduler()
        run.display()
        program = run.print_from_the_window(binary, work)
        subprocess.run([hagaki, "expected.pdf"], cwd=work, env=run.env, capture_output=True, check=True, timeout=60)
        pages = check_pages(run.printed, work / "expected.pdf")
        if (work / "AddressTable.csv").read_bytes() != EXAMPLES.read_bytes():
            raise Failure("the data file changed")
        run.x("windowfocus", "--sync", run.windows(program.pid, f"はがきの宛名を印刷 — {TITLE}")[0])
        run.x("key", "Escape")  # 閉じる
        wait_for("the print dialog to close", lambda: run.windows(program.pid) == [program.main])
        run.x("windowfocus", "--sync", program.main)
        run.x("key", "Escape")  # ends the program
        if program.wait(timeout=30) != 0:
            raise Failure(f"the program ended with {program.returncode}")
        print(f"OK: {pages} cards printed through CUPS match kanaroku-hagaki's pages")
        return 0
    except (Failure, subprocess.SubprocessError) as failure:
        print(f"FAILED: {failure}")
        if os.environ.get("KANAROKU_E2E_SCREENSHOT"):
            subprocess.run(["import", "-window", "root", os.environ["KANAROKU_E2E_SCREENSHOT"]], env=run.env)
        for command in (["lpstat", "-t"], ["lpstat", "-W", "all", "-l", "-o"]):
            print(subprocess.run(command, env=run.env, capture_output=True, text=True).stdout)
        for log in (root / "log" / "error_log", root / "program.log"):
            if log.exists():
                print(f"--- {log.name}\n{log.read_text('utf-8', 'replace')[-3000:]}")
        return 1
    finally:
        run.stop()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])))
