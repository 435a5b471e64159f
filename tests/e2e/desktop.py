"""Drives the real kanaroku binary from outside, as a person at an X desktop.

An Xvfb server of its own, the program as a child process in a directory of
the caller's choosing, xdotool for the mouse and the keyboard, ImageMagick's
import for screenshots and xclip for what the program puts on the clipboard.
Nothing here reaches into the program: every wait polls something a person
could see (a window, a picture, the clipboard, a file), with a time limit.
"""

import os
import select
import shutil
import subprocess
import tempfile
import time

TITLE = "なまえ☆ばこ！"
ABOUT_TITLE = "Version Information"

# The main window's size and some of its controls, in dialog units
# (x, y, width, height). Pixels follow from the window's real size, which
# the X server reports, so no font metric is guessed here.
MAIN_SIZE_DU = (289, 203)
ABOUT_SIZE_DU = (167, 79)
CONTROLS_DU = {
    "新規": (130, 185, 30, 14),
    "登録": (161, 185, 30, 14),
    "削除": (190, 185, 30, 14),
    "あばうと": (225, 185, 30, 14),
    "終了": (255, 185, 30, 14),
    "list": (27, 30, 60, 141),
    "name": (131, 25, 84, 12),
    "reading": (131, 37, 84, 12),
    "自宅": (131, 103, 24, 8),
    "携帯": (163, 103, 32, 8),
    "PHS": (195, 103, 27, 8),
    "ポケベル": (225, 103, 45, 8),
    "phone1": (131, 115, 22, 12),
    "phone2": (163, 115, 22, 12),
    "phone3": (195, 115, 22, 12),
    "phones": (131, 115, 86, 12),
    "year": (131, 131, 20, 12),
    "age": (250, 131, 14, 12),
    "email": (131, 163, 150, 12),
    "了解": (65, 55, 32, 14),  # in the About box
}
INDEX_BUTTONS = ["あ", "か", "さ", "た", "な", "は", "ま", "や", "ら", "わ", "英字", "ALL"]
for _row, _label in enumerate(INDEX_BUTTONS):
    CONTROLS_DU[_label] = (6, 24 + 12 * _row, 17, 11)

DEFAULT_TIMEOUT = 30.0
POLL = 0.03


class Timeout(AssertionError):
    pass


# Programs that must stay up while a test waits: one that ends meanwhile
# fails the wait at once, with its status and output, instead of a time-out.
_running_programs = []


class ProgramEnded(AssertionError):
    pass


def _check_programs():
    for program in _running_programs:
        status = program.process.poll()
        if status is not None and not program.may_end:
            _running_programs.remove(program)
            raise ProgramEnded(f"the program ended unexpectedly with status {status}\n{program.output()}")


def wait_for(what, probe, timeout=DEFAULT_TIMEOUT):
    """Calls probe until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        _check_programs()
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(POLL)


class Picture:
    """An RGB screenshot: width, height and rows of (r, g, b) bytes."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def from_ppm(cls, blob):
        fields = []
        position = 0
        while len(fields) < 4:
            while blob[position:position + 1].isspace():
                position += 1
            if blob[position:position + 1] == b"#":
                position = blob.index(b"\n", position)
                continue
            end = position
            while not blob[end:end + 1].isspace():
                end += 1
            fields.append(blob[position:end])
            position = end
        magic, width, height, maxval = fields
        if magic != b"P6" or maxval != b"255":
            raise ValueError(f"unexpected picture format {magic!r} {maxval!r}")
        width, height = int(width), int(height)
        data = blob[position + 1:position + 1 + width * height * 3]
        return cls(width, height, data)

    def crop(self, left, top, width, height):
        rows = []
        for y in range(top, top + height):
            start = (y * self.width + left) * 3
            rows.append(self.data[start:start + width * 3])
        return Picture(width, height, b"".join(rows))

    def colours(self):
        return {self.data[i:i + 3] for i in range(0, len(self.data), 3)}

    def __eq__(self, other):
        if not isinstance(other, Picture):
            return NotImplemented
        return (self.width, self.height, self.data) == (other.width, other.height, other.data)

    __hash__ = None


class XServer:
    """An Xvfb of its own on the first free display number."""

    def __init__(self, width=1280, height=800):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            number = self._read_display_number(read_end)
        finally:
            os.close(read_end)
        self.display = f":{number}"
        self.runtime_dir = tempfile.mkdtemp(prefix="kanaroku-xdg-")
        self.env = self._environment()

    def _read_display_number(self, fd):
        text = b""
        deadline = time.monotonic() + DEFAULT_TIMEOUT
        while not text.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([fd], [], [], remaining)[0]:
                self.process.kill()
                raise Timeout("Xvfb did not report its display number")
            chunk = os.read(fd, 64)
            if not chunk:
                raise RuntimeError(f"Xvfb ended with status {self.process.wait()}")
            text += chunk
        return int(text)

    def _environment(self):
        env = {k: v for k, v in os.environ.items()
               if k not in ("WAYLAND_DISPLAY", "QT_IM_MODULE", "XMODIFIERS", "GTK_IM_MODULE",
                            "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI")}
        env.update(DISPLAY=self.display, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8",
                   XDG_RUNTIME_DIR=self.runtime_dir)
        return env

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.runtime_dir, ignore_errors=True)

    def run(self, *command, input=None, check=True):
        result = subprocess.run(command, env=self.env, input=input, capture_output=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"{command[0]} failed ({result.returncode}): {result.stderr!r}")
        return result.stdout

    def xdotool(self, *arguments, check=True):
        return self.run("xdotool", *arguments, check=check)

    def windows(self, title, pid=None):
        """Visible windows whose title is exactly `title`, oldest first."""
        arguments = ["search", "--all", "--onlyvisible"]
        if pid is not None:
            arguments += ["--pid", str(pid)]
        arguments += ["--name", "^" + title + "$"]
        out = self.xdotool(*arguments, check=False)
        return [int(line) for line in out.split()]

    def focused_window(self):
        out = self.xdotool("getwindowfocus", check=False).strip()
        return int(out) if out else None

    def geometry(self, window):
        """(x, y, width, height) of a window on the screen."""
        out = self.xdotool("getwindowgeometry", "--shell", str(window)).decode()
        values = dict(line.split("=", 1) for line in out.split())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def screenshot(self, window):
        blob = self.run("import", "-silent", "-window", str(window), "-depth", "8", "ppm:-")
        return Picture.from_ppm(blob)

    def save_png(self, window, path):
        self.run("import", "-silent", "-window", str(window), "png:" + str(path))

    def key(self, *keys):
        self.xdotool("key", "--delay", "30", *keys)

    def type(self, text):
        self._map_characters(text)
        self.xdotool("type", "--delay", "40", "--", text)

    def _map_characters(self, text):
        """Gives every character of `text` that the keyboard map lacks a key
        of its own, once. Left to itself xdotool borrows one spare key for
        each such character in turn, and a program that reads the changed
        map late sees the wrong character."""
        if not hasattr(self, "_free_keycodes"):
            table = self.run("xmodmap", "-pke").decode()
            self._free_keycodes = [int(line.split()[1]) for line in table.splitlines()
                                   if line.startswith("keycode") and line.split("=", 1)[1].strip() == ""]
            self._mapped = set()
        wanted = sorted({c for c in text if ord(c) > 0x7E} - self._mapped)
        if not wanted:
            return
        if len(wanted) > len(self._free_keycodes):
            raise RuntimeError("no spare keys left for " + "".join(wanted))
        expressions = []
        for character in wanted:
            expressions += ["-e", f"keycode {self._free_keycodes.pop(0)} = U{ord(character):04X}"]
        self.run("xmodmap", *expressions)
        self._mapped.update(wanted)

    def click(self, window, x, y, count=1):
        self.xdotool("mousemove", "--window", str(window), str(x), str(y),
                     "click", "--repeat", str(count), "--delay", "80", "1")

    def clipboard(self):
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-target", "UTF8_STRING"],
                                env=self.env, capture_output=True, timeout=10)
        return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else None

    def copy_from_program(self, *keys):
        """Presses `keys` (a copy command) and returns what the program put on
        the clipboard. A marker is placed on the clipboard first, so a copy
        that has not happened yet is never mistaken for one that has."""
        marker = f"(clipboard marker {time.monotonic_ns()})"
        holder = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-i"], env=self.env,
                                  stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            holder.stdin.write(marker.encode())
            holder.stdin.close()
            wait_for("the clipboard marker", lambda: self.clipboard() == marker)
            self.key(*keys)
            text = wait_for("the program's copy on the clipboard",
                            lambda: (lambda t: t is not None and t != marker and (t,))(self.clipboard()))
            return text[0]
        finally:
            if holder.poll() is None:
                holder.kill()
            holder.wait()


class Window:
    """One top-level window of the program, with dialog-unit placement."""

    def __init__(self, server, window_id, size_du=MAIN_SIZE_DU):
        self.server, self.id = server, window_id
        _, _, self.width, self.height = server.geometry(window_id)
        self.scale_x = self.width / size_du[0]
        self.scale_y = self.height / size_du[1]

    def rect(self, control):
        x, y, w, h = CONTROLS_DU[control]
        return (round(x * self.scale_x), round(y * self.scale_y),
                round(w * self.scale_x), round(h * self.scale_y))

    def centre(self, control):
        x, y, w, h = self.rect(control)
        return x + w // 2, y + h // 2

    def click(self, control, count=1):
        self.server.click(self.id, *self.centre(control), count=count)

    def screenshot(self):
        return self.server.screenshot(self.id)

    def selected_list_row(self):
        """The centre of the list's highlighted row, found in a screenshot:
        the band of pixel rows that one colour other than the list's
        background mostly fills."""
        x, y, w, h = self.rect("list")
        inner = self.screenshot().crop(x + 2, y + 2, w - 4, h - 4)
        counts = {}
        for i in range(0, len(inner.data), 3):
            counts[inner.data[i:i + 3]] = counts.get(inner.data[i:i + 3], 0) + 1
        background = max(counts, key=counts.get)
        band = []
        for row in range(inner.height):
            line = inner.data[row * inner.width * 3:(row + 1) * inner.width * 3]
            colours = {}
            for i in range(0, len(line), 3):
                colours[line[i:i + 3]] = colours.get(line[i:i + 3], 0) + 1
            colour, count = max(colours.items(), key=lambda item: item[1])
            if colour != background and count * 2 >= inner.width:
                band.append(row)
        if not band:
            return None
        first = band[0]
        last = first
        while last + 1 in band:
            last += 1
        return x + 2 + inner.width // 3, y + 2 + (first + last) // 2

    def region(self, control, inset=2):
        x, y, w, h = self.rect(control)
        return self.screenshot().crop(x + inset, y + inset, w - 2 * inset, h - 2 * inset)

    def wait_painted(self):
        """Waits until two screenshots in a row agree and show more than one
        colour: the window has drawn itself and settled."""
        previous = [None]

        def settled():
            shot = self.screenshot()
            same = shot == previous[0] and len(shot.colours()) > 8
            previous[0] = shot
            return same
        wait_for("the window to be drawn", settled)

    def list_text_lines(self):
        """How many lines of text the name list shows: bands of pixel rows
        that hold dark (text) pixels, left of the scroll bar."""
        x, y, w, h = self.rect("list")
        picture = self.screenshot().crop(x + 3, y + 3, w * 2 // 3, h - 6)
        lines, previous = 0, False
        for row in range(picture.height):
            data = picture.data[row * picture.width * 3:(row + 1) * picture.width * 3]
            dark = any(data[i] + data[i + 1] + data[i + 2] < 300 for i in range(0, len(data), 3))
            lines += dark and not previous
            previous = dark
        return lines

    def is_blank(self, control, inset=3):
        """True when the inside of a control shows a single colour: an edit
        with no text (and no caret, so not the focused one)."""
        x, y, w, h = self.rect(control)
        picture = self.screenshot().crop(x + inset, y + inset, w - 2 * inset, h - 2 * inset)
        return len(picture.colours()) == 1

    def text_of(self, control):
        """Clicks into an edit and copies its whole text, as a person would."""
        self.click(control)
        return self.server.copy_from_program("ctrl+a", "ctrl+c")


class Program:
    """The kanaroku binary, started in `directory` on the given X server."""

    def __init__(self, server, binary, directory, log_path, extra_env=None):
        self.server, self.directory = server, directory
        self.log = open(log_path, "ab")
        env = dict(server.env, **(extra_env or {}))
        try:
            self.process = subprocess.Popen([binary], cwd=directory, env=env,
                                            stdout=self.log, stderr=subprocess.STDOUT)
        except OSError:
            self.log.close()
            raise
        self.main = None
        self.may_end = False
        _running_programs.append(self)

    def wait_main_window(self):
        ids = wait_for(f"the window \"{TITLE}\"", lambda: self.server.windows(TITLE, self.process.pid))
        self.main = Window(self.server, ids[0])
        wait_for("the keyboard focus on the window", lambda: self.server.focused_window() in ids)
        self.main.wait_painted()
        return self.main

    def other_windows(self, title):
        main = self.main.id if self.main else None
        return [w for w in self.server.windows(title, self.process.pid) if w != main]

    def wait_message_box(self):
        """The second window titled like the program: its message box."""
        ids = wait_for("a message box", lambda: self.other_windows(TITLE))
        box = Window(self.server, ids[0], size_du=(1, 1))
        wait_for("the keyboard focus on the message box", lambda: self.server.focused_window() == box.id)
        box.wait_painted()
        return box

    def wait_no_message_box(self):
        wait_for("the message box to close", lambda: not self.other_windows(TITLE))

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        self.may_end = True
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Timeout("the program did not end") from None

    def stop(self):
        self.may_end = True
        if self in _running_programs:
            _running_programs.remove(self)
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()

    def output(self):
        with open(self.log.name, "rb") as f:
            return f.read().decode("utf-8", "replace")
