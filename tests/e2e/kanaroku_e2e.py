"""End-to-end checks of the built kanaroku binary: what only a real X server
shows. Each test starts its own Xvfb and the program in a fresh directory,
drives it from outside with xdotool, and reads what a person could see: the
windows, what the program copies to the clipboard, the data file and the
exit status. Every wait polls with a time limit.

    python3 kanaroku_e2e.py BINARY [unittest arguments]
"""

import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples" / "AddressTable.csv"
BINARY = None
TITLE = "なまえ☆ばこ！"
# Controls of the main window in dialog units (x, y, width, height) of its
# 289 x 203 template; pixels follow from the window's real size, so no font
# metric is guessed here.
CONTROLS = {"新規": (130, 185, 30, 14), "登録": (161, 185, 30, 14), "list": (27, 30, 60, 141),
            "携帯": (163, 103, 32, 8), "phone1": (131, 115, 22, 12), "さ": (6, 48, 17, 11)}


def names(data, row=None):
    """The names in a data file, sorted; only one kana row's when given."""
    fields = [line.decode("cp932").split(",") for line in data.split(b"\r\n")
              if line and not line.startswith(b"#")]
    return sorted(f[2] for f in fields if row is None or f[0] == row)


class Scenario(unittest.TestCase):
    def setUp(self):
        self.work = pathlib.Path(tempfile.mkdtemp(prefix="kanaroku-e2e-"))
        self.addCleanup(shutil.rmtree, self.work, ignore_errors=True)
        self.table = self.work / "AddressTable.csv"
        self.program = None
        self.mapped = set()
        read_end, write_end = os.pipe()
        # -noreset: else the server resets when the program ends, and a
        # restart may find no display and the keyboard map undone.
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24",
                                 "-nolisten", "tcp", "-noreset"], pass_fds=[write_end], stderr=subprocess.DEVNULL)
        self.addCleanup(xvfb.wait)
        self.addCleanup(xvfb.terminate)
        os.close(write_end)
        with os.fdopen(read_end) as displayfd:
            display = displayfd.readline().strip()
        self.assertTrue(display, "Xvfb did not start")
        runtime = self.work / "xdg"
        runtime.mkdir(mode=0o700)
        # The desktop's input method and scaling would change what is typed
        # and where the controls are.
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("WAYLAND_DISPLAY", "QT_IM_MODULE", "XMODIFIERS", "QT_SCALE_FACTOR",
                                 "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI")}
        self.env.update(DISPLAY=":" + display, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8",
                        XDG_RUNTIME_DIR=str(runtime))

    def x(self, *command, check=True):
        return subprocess.run(command, env=self.env, capture_output=True, timeout=30, check=check).stdout

    def log(self):
        return (self.work / "program.log").read_text("utf-8", "replace")

    def wait_for(self, what, probe, timeout=30):
        """Polls probe until it returns something true, and returns that. The
        program ending meanwhile fails at once, with what it printed."""
        deadline = time.monotonic() + timeout
        while not (value := probe()):
            if self.program and self.program.poll() is not None:
                self.fail(f"the program ended ({self.program.returncode}) while waiting for {what}\n{self.log()}")
            if time.monotonic() > deadline:
                self.fail(f"timed out after {timeout} s waiting for {what}")
            time.sleep(0.03)
        return value

    def windows(self):
        return self.x("xdotool", "search", "--onlyvisible", "--pid", str(self.program.pid),
                      "--name", f"^{TITLE}$", check=False).split()

    def start(self, **env):
        with open(self.work / "program.log", "wb") as out:
            self.program = subprocess.Popen([BINARY], cwd=self.work, env=dict(self.env, **env),
                                            stdout=out, stderr=subprocess.STDOUT)
        self.addCleanup(self.program.wait)
        self.addCleanup(self.program.kill)
        self.window = self.wait_for("the main window", self.windows)[0]
        self.wait_focus(self.window)
        shape = dict(line.split("=") for line in
                     self.x("xdotool", "getwindowgeometry", "--shell", self.window).decode().split())
        self.scale = (int(shape["WIDTH"]) / 289, int(shape["HEIGHT"]) / 203)

    def wait_focus(self, window):
        self.wait_for("the keyboard focus",
                      lambda: self.x("xdotool", "getwindowfocus", check=False).strip() == window)

    def quit(self):
        self.x("xdotool", "key", "Escape")
        status = self.program.wait(timeout=30)
        self.assertEqual(status, 0, self.log())

    def click(self, control, x=0.5, y=0.5):
        """Clicks at a fraction of a control's width and height."""
        left, top, width, height = CONTROLS[control]
        self.x("xdotool", "mousemove", "--window", self.window,
               str(round((left + width * x) * self.scale[0])), str(round((top + height * y) * self.scale[1])),
               "click", "1")

    def type(self, text):
        """Types text as key presses. Every character outside ASCII first
        gets a spare key of its own; left to itself xdotool would borrow one
        key for each in turn, and a program that reads the changed keyboard
        map late would see the wrong character."""
        wanted = sorted({c for c in text if ord(c) > 0x7E} - self.mapped)
        if wanted:
            spare = [line.split()[1] for line in self.x("xmodmap", "-pke").decode().splitlines()
                     if line.split("=", 1)[1].strip() == ""]
            self.assertGreaterEqual(len(spare), len(wanted), "not enough spare keys")
            self.x("xmodmap", *[arg for key, c in zip(spare, wanted)
                                for arg in ("-e", f"keycode {key} = U{ord(c):04X}")])
            self.mapped.update(wanted)
        self.x("xdotool", "type", "--delay", "40", "--", text)

    def clipboard(self):
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-target", "UTF8_STRING"],
                                env=self.env, capture_output=True, timeout=30)
        return result.stdout.decode() if result.returncode == 0 else None

    def copy(self, *keys):
        """Presses keys that make the program copy, and returns the copy. A
        marker is put on the clipboard first, so that an old copy is never
        taken for the new one."""
        marker = f"marker {time.monotonic_ns()}"
        holder = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-i"], env=self.env,
                                  stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            holder.stdin.write(marker.encode())
            holder.stdin.close()
            self.wait_for("the marker on the clipboard", lambda: self.clipboard() == marker)
            self.x("xdotool", "key", *keys)
            copied = self.wait_for("the program's copy",
                                   lambda: (text := self.clipboard()) not in (None, marker) and [text])
            return copied[0]
        finally:
            holder.kill()
            holder.wait()

    def listed_names(self):
        """Every name in the list, sorted: a click below the items gives it
        the focus, then Home and Down walk it, each name copied with Ctrl+C."""
        self.click("list", 0.3, 0.97)
        listed = [self.copy("Home", "ctrl+c")]
        while (name := self.copy("Down", "ctrl+c")) != listed[-1]:
            listed.append(name)
        return sorted(listed)

    def test_startup_lists_everyone_in_the_file(self):
        shutil.copyfile(EXAMPLES, self.table)
        self.start()
        self.assertEqual(self.listed_names(), names(self.table.read_bytes()))
        self.quit()

    def test_register_and_restart(self):
        shutil.copyfile(EXAMPLES, self.table)
        before = self.table.read_bytes()
        self.start()
        self.click("新規")
        name, reading = "佐野 ミナミ", "さの みなみ"
        self.type(name)
        self.x("xdotool", "key", "Tab")
        self.type(reading)
        self.click("携帯")
        self.click("phone1")
        self.type("090\t5550\t7777")
        self.click("登録")
        self.wait_for("the data file to grow", lambda: self.table.stat().st_size > len(before))
        line = f"2,{reading},{name},,,1970,1,1,-1,,,,1,*,*,*,090,5550,7777,*,*,*,*,*,*\r\n"
        after = before + line.encode("cp932")
        self.assertEqual(self.table.read_bytes(), after)
        # 登録 again: the name is in the file now, so a message box refuses it.
        self.click("登録")
        box = self.wait_for("a message box", lambda: [w for w in self.windows() if w != self.window])
        self.wait_focus(box[0])
        self.x("xdotool", "key", "Return")
        self.wait_for("the message box to close", lambda: self.windows() == [self.window])
        self.assertEqual(self.table.read_bytes(), after)
        self.quit()
        self.start()
        self.click("さ")
        self.assertEqual(self.listed_names(), names(after, "2"))
        self.quit()

    def test_escape_ends_and_leaves_the_file_alone(self):
        with self.subTest("missing file is created empty"):
            self.start()
            self.quit()
            self.assertEqual(self.table.read_bytes(), b"")
        with self.subTest("sample file"):
            shutil.copyfile(EXAMPLES, self.table)
            before = self.table.stat()
            self.start()
            self.quit()
            self.assertEqual(self.table.read_bytes(), EXAMPLES.read_bytes())
            self.assertEqual(self.table.stat().st_mtime_ns, before.st_mtime_ns)

    def test_input_method_plugins_load(self):
        # Qt loads the input method the desktop names in QT_IM_MODULE from the
        # system's plugin folder; QT_DEBUG_PLUGINS says which library it took.
        shutil.copyfile(EXAMPLES, self.table)
        for module in ("ibus", "fcitx5"):
            with self.subTest(module):
                self.start(QT_IM_MODULE=module, QT_DEBUG_PLUGINS="1")
                self.quit()
                plugin = f"platforminputcontexts/lib{module}platforminputcontextplugin.so\" loaded library"
                self.assertIn(plugin, self.log())


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
