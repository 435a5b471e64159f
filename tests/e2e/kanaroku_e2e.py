"""End-to-end checks of the built kanaroku: the real program on an Xvfb of its own, driven by real key
presses and clicks (xdotool) and read as a screen reader reads it, through AT-SPI with pyatspi (the
list, the fields, message boxes), then by the data file's bytes and the exit status. Accessibility is
turned on as a desktop does it (org.a11y.Status IsEnabled, on a private session bus). Every wait polls
with a time limit. Debian's pyatspi imports only in /usr/bin/python3.

    /usr/bin/python3 kanaroku_e2e.py BINARY [unittest arguments]
"""

import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples" / "AddressTable.csv"
BINARY = None
TITLE = "なまえ☆ばこ！"
MOZC = "/usr/lib/mozc/mozc_server"
LOCALES = ("C", "C.UTF-8", "en_US.UTF-8", "ja_JP.UTF-8")
# The field of the file's first person that each edit shows; 25 is the age.
EDITS = {"名前": 2, "ふりがな": 1, "住所 1 行目": 3, "住所 2 行目": 4, "生年月日 年": 5, "生年月日 月": 6,
         "生年月日 日": 7, "ｅ－ｍａｉｌ": 9, "郵便番号 上 3 桁": 10, "郵便番号 下 4 桁": 11,
         "電話番号 1": 13, "電話番号 2": 14, "電話番号 3": 15, "歳": 25}
GROUPS = {"性別": ["男", "女"], "電話番号の種類": ["自宅", "携帯", "PHS", "ポケベル"], "血液型": ["A", "B", "O", "AB"]}
# Two people as a phone exports them (UTF-8, vCard 3.0, the reading apart, one in katakana), and the
# lines the book must gain for them.
VCARD = """BEGIN:VCARD\nVERSION:3.0\nN:森;春菜;;;\nFN:森 春菜\nX-PHONETIC-LAST-NAME:モリ
X-PHONETIC-FIRST-NAME:ハルナ\nTEL;TYPE=CELL:090-5550-3141\nEMAIL;TYPE=INTERNET:haruna@example.jp\nEND:VCARD
BEGIN:VCARD\nVERSION:3.0\nN:高田;翼;;;\nFN:高田 翼\nX-PHONETIC-LAST-NAME:たかだ\nX-PHONETIC-FIRST-NAME:つばさ
TEL;TYPE=HOME:052-555-0123\nADR;TYPE=HOME:;;栄1-2-3;名古屋市中区;愛知県;460-0008;日本\nBDAY:1988-07-15
END:VCARD\n""".replace("\n", "\r\n")
IMPORTED = ("6,もり はるな,森 春菜,,,1970,1,1,-1,haruna@example.jp,,,0,*,*,*,090,5550,3141,*,*,*,*,*,*\r\n"
            "3,たかだ つばさ,高田 翼,愛知県名古屋市中区栄1-2-3,,1988,7,15,-1,,460,0008,0,052,555,0123,*,*,*,*,*,*,*,*,*\r\n")


def names(data, row=None):
    """The names in a data file, sorted; only one kana row's when given."""
    fields = [line.decode("cp932").split(",") for line in data.split(b"\r\n")
              if line and not line.startswith(b"#")]
    return sorted(f[2] for f in fields if row is None or f[0] == row)


class Scenario(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        for lang in LOCALES[2:]:  # C and C.UTF-8 are always there
            if lang.replace("UTF-8", "utf8") not in subprocess.run(["locale", "-a"], capture_output=True,
                                                                  text=True).stdout.split():
                subprocess.run(["localedef", "-i", lang.split(".")[0], "-c", "-f", "UTF-8", lang], check=True)
        """One desktop for the process, as pyatspi joins the accessibility bus once, on import.
        Nothing of the desktop this runs in: its buses, its accessibility setting (read nor
        written: memory settings), Qt's switches, its input method and scaling."""
        cls.root = pathlib.Path(tempfile.mkdtemp(prefix="kanaroku-e2e-"))
        cls.addClassCleanup(shutil.rmtree, cls.root, ignore_errors=True)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("DBUS_", "AT_SPI", "QT_", "DISPLAY", "WAYLAND_", "XMODIFIERS"))}
        env.update(XDG_RUNTIME_DIR=str(cls.root), XDG_CONFIG_HOME=str(cls.root), LANG="C.UTF-8",
                   GSETTINGS_BACKEND="memory")
        # -noreset: else the server resets when its last client ends, and undoes the keyboard map.
        display = cls.spawn(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                             "-noreset"], env)
        os.environ.clear()
        # The session bus lets in any user: the input method runs as another (mozc refuses root).
        bus = cls.root / "bus.conf"
        bus.write_text('<busconfig><include>/usr/share/dbus-1/session.conf</include>'
                       '<policy context="default"><allow user="*"/></policy></busconfig>')
        os.environ.update(env, DBUS_SESSION_BUS_ADDRESS=cls.spawn(
            ["dbus-daemon", f"--config-file={bus}", "--nofork", "--print-address=1"], env))
        if (cls.is_enabled(), cls.is_enabled("<true>")) != ("(<false>,)", "()"):
            raise AssertionError("accessibility must start off and be turned on")
        cls.env = dict(os.environ, DISPLAY=":" + display, QT_QPA_PLATFORM="xcb")
        # The server's first key from xdotool switches the keyboard device it reports, and a program
        # that sees the switch may miss that key (an Alt+Space opened no menu): one key before any
        # program runs.
        subprocess.run(["xdotool", "key", "shift"], env=cls.env, check=True, timeout=30)
        cls.mapped = set()
        global pyatspi, GLib
        import pyatspi
        from gi.repository import Atspi, GLib
        # A popup (the window menu, a completer's list) is outside the window tree: it is seen by
        # the events of its showing and of the focus on its items.
        cls.events = []
        cls.listener = Atspi.EventListener.new(lambda e: e.detail1 and cls.events.append((e.type, e.source)))
        for kind in ("showing", "focused"):
            cls.listener.register("object:state-changed:" + kind)

    @classmethod
    def spawn(cls, command, env, line=True):
        """Starts a process group that ends with the tests; its first line, when it says one."""
        process = subprocess.Popen(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                   start_new_session=True)
        cls.addClassCleanup(process.wait)
        cls.addClassCleanup(os.killpg, process.pid, signal.SIGKILL)
        cls.addClassCleanup(process.stdout.close)
        return process.stdout.readline().strip() if line else None

    @staticmethod
    def is_enabled(*value):
        """Reads or sets IsEnabled. The first call has the session bus start the AT-SPI bus launcher,
        without a display: else it leaves the bus address on the root window, where Qt finds it
        whatever IsEnabled says."""
        done = subprocess.run(["gdbus", "call", "--session", "--dest", "org.a11y.Bus", "--object-path",
                               "/org/a11y/bus", "--method", "org.freedesktop.DBus.Properties." +
                               ("Set" if value else "Get"), "org.a11y.Status", "IsEnabled", *value],
                              capture_output=True, text=True, timeout=30)
        return (done.stdout + done.stderr).strip()

    def setUp(self):
        self.work = pathlib.Path(tempfile.mkdtemp(dir=self.root))
        self.table = self.work / "AddressTable.csv"
        self.program = None

    def x(self, *command):
        subprocess.run(command, env=self.env, capture_output=True, timeout=30, check=True)

    def log(self):
        return (self.work / "program.log").read_text("utf-8", "replace")

    def wait_for(self, what, probe, timeout=30):
        """Polls probe until it returns something true, and returns that. The program ending
        meanwhile fails at once, with what it printed."""
        deadline = time.monotonic() + timeout
        while not (value := probe()):
            if self.program and self.program.poll() is not None:
                self.fail(f"the program ended ({self.program.returncode}) while waiting for {what}\n{self.log()}")
            self.assertLess(time.monotonic(), deadline, f"timed out after {timeout} s waiting for {what}")
            self.pump()
            time.sleep(0.03)
        return value

    def pump(self):
        """Hands the AT-SPI events that came in to the listener."""
        while GLib.MainContext.default().iteration(False):
            pass

    def settle(self, what, probe, expected, timeout=30):
        """Waits until probe gives expected; at the time limit fails with what it gives."""
        deadline = time.monotonic() + timeout
        self.wait_for(what, lambda: probe() == expected or time.monotonic() > deadline, timeout + 5)
        self.assertEqual(probe(), expected, what)

    def start(self, active=True, **env):
        """active=False: a compositor without a keyboard activates no window, and nothing has the focus."""
        with open(self.work / "program.log", "wb") as out:
            self.program = subprocess.Popen([BINARY], cwd=self.work, env=dict(self.env, **env),
                                            stdout=out, stderr=subprocess.STDOUT)
        self.addCleanup(self.program.wait)
        self.addCleanup(self.program.kill)
        self.main = self.window(TITLE, active=active)
        if active:
            self.wait_for("the focus on 新規", lambda: self.state(self.main["新規", "push button"], pyatspi.STATE_FOCUSED))

    def windows(self):
        """The program's windows on screen, as (name, role, window)."""
        apps = [app for app in pyatspi.Registry.getDesktop(0) if app and app.get_process_id() == self.program.pid]
        for app in apps:
            app.clear_cache()
        return [(w.name, w.getRoleName(), w) for app in apps for w in app]

    def window(self, title, role="dialog", active=True):
        """The controls of the program's active window of that title, by name and role."""
        found = self.wait_for(title, lambda: [w for name, r, w in self.windows() if (name, r) == (title, role)
                                              and w.childCount and (not active or self.state(w, pyatspi.STATE_ACTIVE))])
        return {(c.name, c.getRoleName()): c for c in found[0]}

    def state(self, control, wanted):
        control.clear_cache()
        return control.getState().contains(wanted)

    def text(self, name):
        return self.main[name, "text"].queryText().getText(0, -1)

    def listed(self):
        names_list = self.main["名前を選択してください", "list"]
        names_list.clear_cache()
        return sorted(item.name for item in names_list)

    def watch(self):
        """Forgets the events so far: what the program did before the next input."""
        self.pump()
        self.events.clear()

    def seen(self, kind, role):
        """What showed or took the focus since the last look, of that role."""
        return [source for event, source in self.events if event.endswith(kind) and source.getRoleName() == role]

    def click(self, control):
        """A real click in the middle of a control, where AT-SPI says it is on the screen."""
        left, top, width, height = control.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.x("xdotool", "mousemove", str(left + width // 2), str(top + height // 2), "click", "1")

    def message(self):
        """The text of the message box in front; Return closes it."""
        box = self.window(TITLE, "alert")
        self.x("xdotool", "key", "Return")
        self.wait_for("the message box to close", lambda: all(r != "alert" for _, r, _ in self.windows()))
        # No window manager gives the window under the box the focus back: do what one would.
        self.x("xdotool", "search", "--onlyvisible", "--pid", str(self.program.pid), "--name", f"^{TITLE}$", "windowfocus")
        self.main = self.window(TITLE)
        return [name for name, role in box if role == "label"]

    def quit(self):
        # Escape is let go only once the program has ended: Qt's AT-SPI bridge holds a copy of each key
        # event until the registry answers, and never frees one still waiting when the program ends.
        self.x("xdotool", "keydown", "Escape")
        try:
            status = self.program.wait(timeout=30)
        finally:
            self.x("xdotool", "keyup", "Escape")
        self.assertEqual(status, 0, self.log())

    def type(self, text):
        """Types text as key presses. Every character outside ASCII first gets a spare key of its
        own; left to itself xdotool would borrow one key for each in turn, and a program that reads
        the changed keyboard map late would see the wrong character."""
        wanted = sorted({c for c in text if ord(c) > 0x7E} - self.mapped)
        if wanted:
            keys = subprocess.run(["xmodmap", "-pke"], env=self.env, capture_output=True, text=True, check=True)
            spare = [line.split()[1] for line in keys.stdout.splitlines() if line.split("=", 1)[1].strip() == ""]
            self.assertGreaterEqual(len(spare), len(wanted), "not enough spare keys")
            self.x("xmodmap", *[arg for key, c in zip(spare, wanted) for arg in ("-e", f"keycode {key} = U{ord(c):04X}")])
            self.mapped.update(wanted)
        self.x("xdotool", "type", "--delay", "40", "--", text)

    def test_register_and_restart(self):
        """The same bytes and the same list whatever the user's locale."""
        for lang in LOCALES:
            with self.subTest(lang):
                self.register_and_restart(LANG=lang, LC_ALL=lang)

    def register_and_restart(self, **locale):
        shutil.copyfile(EXAMPLES, self.table)
        before = self.table.read_bytes()
        self.start(**locale)
        self.click(self.main["新規", "push button"])
        name, reading = "佐野 ミナミ", "さの みなみ"
        self.type(name)
        self.x("xdotool", "key", "Tab")
        self.type(reading)
        self.click(self.main["携帯", "radio button"])
        self.click(self.main["電話番号 1", "text"])
        self.type("090\t5550\t7777")
        self.settle("the form", lambda: [self.text(f) for f in ("名前", "ふりがな", "電話番号 1", "電話番号 2", "電話番号 3")],
                    [name, reading, "090", "5550", "7777"])
        self.click(self.main["登録", "push button"])
        self.wait_for("the data file to grow", lambda: self.table.stat().st_size > len(before))
        line = f"2,{reading},{name},,,1970,1,1,-1,,,,1,*,*,*,090,5550,7777,*,*,*,*,*,*\r\n"
        after = before + line.encode("cp932")
        self.assertEqual(self.table.read_bytes(), after)
        # 登録 again: the name is in the file now, so a message box refuses it.
        self.click(self.main["登録", "push button"])
        self.assertEqual(self.message(), ["テーブル変更はまだサポートしていません m(__)m"])
        self.assertEqual(self.table.read_bytes(), after)
        self.quit()
        self.start(**locale)
        self.click(self.main["さ", "push button"])
        self.settle("the list of さ", self.listed, names(after, "2"))
        self.quit()

    def test_escape_ends_and_leaves_the_file_alone(self):
        with self.subTest("missing file is created empty"):
            self.start()
            self.quit()
            self.assertEqual(self.table.read_bytes(), b"")
        with self.subTest("sample file: everyone listed"):
            shutil.copyfile(EXAMPLES, self.table)
            before = self.table.stat()
            self.start()
            self.settle("the list", self.listed, names(self.table.read_bytes()))
            self.quit()
            self.assertEqual(self.table.read_bytes(), EXAMPLES.read_bytes())
            self.assertEqual(self.table.stat().st_mtime_ns, before.st_mtime_ns)

    def input_method(self):
        """fcitx5 with mozc (hiragana at first) on this display and bus, with a fresh home; as nobody
        when this runs as root, which mozc refuses. Its server is started here, so that it ends here."""
        if not (shutil.which("fcitx5") and pathlib.Path(MOZC).exists()):
            self.skipTest("fcitx5 or mozc is not installed")
        home = pathlib.Path(tempfile.mkdtemp(prefix="kanaroku-im-"))
        self.addCleanup(shutil.rmtree, home, ignore_errors=True)
        (home / "fcitx5").mkdir()
        (home / "fcitx5" / "profile").write_text("[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=mozc\n"
                                                 "[Groups/0/Items/0]\nName=keyboard-us\n[Groups/0/Items/1]\n"
                                                 "Name=mozc\n[GroupOrder]\n0=Default\n")
        user = []
        if os.geteuid() == 0:
            user = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
            for path in (home, *home.rglob("*")):
                os.chown(path, 65534, 65534)
            self.x("xhost", "+si:localuser:nobody")
        env = dict(self.env, HOME=str(home), XDG_CONFIG_HOME=str(home), XDG_DATA_HOME=str(home),
                   XDG_CACHE_HOME=str(home), XDG_RUNTIME_DIR=str(home))
        for command in ([MOZC], ["fcitx5", "--disable=classicui,kimpanel,notificationitem,xim,ibusfrontend"]):
            process = subprocess.Popen(user + command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.addCleanup(process.wait)
            self.addCleanup(process.kill)
        # Asked before it owns its name, the bus would start a fcitx5 of its own, as root.
        owner = ["gdbus", "call", "--session", "--dest", "org.freedesktop.DBus", "--object-path", "/",
                 "--method", "org.freedesktop.DBus.NameHasOwner", "org.fcitx.Fcitx5"]
        self.wait_for("fcitx5 on the bus", lambda: "true" in subprocess.run(
            owner, env=self.env, capture_output=True, text=True, timeout=30).stdout)

    def im_state(self):
        """What fcitx5-remote says of the focused input: 1 off, 2 on."""
        return subprocess.run(["fcitx5-remote"], env=self.env, capture_output=True, text=True, timeout=30).stdout.strip()

    def test_reading_from_the_input_methods_kana(self):
        """ふりがな fills with the kana mozc showed before converting the name, segment by segment."""
        self.input_method()
        self.start(QT_IM_MODULE="fcitx5")
        self.click(self.main["新規", "push button"])
        self.click(self.main["名前", "text"])
        self.wait_for("an input context", lambda: self.im_state() == "1")
        self.x("fcitx5-remote", "-o")
        self.wait_for("the input method on", lambda: self.im_state() == "2")
        # Space converts and Return commits; Space between them gives the name a space of its own.
        self.x("xdotool", "type", "--delay", "40", "yamada ")
        self.x("xdotool", "key", "--delay", "40", "Return", "space")
        self.x("xdotool", "type", "--delay", "40", "tarou ")
        self.x("xdotool", "key", "Return")
        self.settle("the reading", lambda: self.text("ふりがな"), "やまだ たろう")
        name = self.text("名前")
        self.assertRegex(name, "^[\u4e00-\u9fff]+\u3000[\u4e00-\u9fff]+$")  # what mozc made of it
        self.click(self.main["登録", "push button"])
        self.wait_for("the data file to grow", lambda: self.table.stat().st_size > 0)
        self.assertEqual(self.table.read_bytes().decode("cp932"),
                         f"7,やまだ たろう,{name},,,1970,1,1,-1,,,,1,{','.join('*' * 12)}\r\n")
        self.quit()

    def test_a_screen_reader_hears_every_control(self):
        shutil.copyfile(EXAMPLES, self.table)
        self.start()
        first = [line for line in EXAMPLES.read_bytes().decode("cp932").split("\r\n") if line and line[0] != "#"][0]
        first = first.split(",")
        now = time.localtime()
        first.append(str(now.tm_year - int(first[5]) - ((now.tm_mon, now.tm_mday) < tuple(map(int, first[6:8])))))
        for name, field in EDITS.items():
            self.assertEqual(self.text(name), first[field], name)
        for name in ("生年月日 年", "生年月日 月", "生年月日 日"):
            self.assertEqual([(arrow.name, arrow.getRoleName()) for arrow in self.main[name, "filler"]],
                             [("増やす", "push button"), ("減らす", "push button")])
        labels = {button: [r.getTarget(0).name for r in self.main[button, "radio button"].getRelationSet()
                           if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
                  for buttons in GROUPS.values() for button in buttons}
        self.assertEqual(labels, {button: [group] for group, buttons in GROUPS.items() for button in buttons})
        # The default button is the focused push button, else 登録; the focus starts on 新規.
        new, register, delete = (self.main[name, "push button"] for name in ("新規", "登録", "削除"))
        for focus, default in ((new, new), (self.main["名前", "text"], register), (delete, delete),
                               (self.main["男", "radio button"], register)):
            if focus is not new:
                focus.queryComponent().grabFocus()
            self.wait_for(f"the focus on {focus.name}", lambda: self.state(focus, pyatspi.STATE_FOCUSED))
            self.assertEqual([b.name for b in (new, register, delete) if self.state(b, pyatspi.STATE_IS_DEFAULT)],
                             [default.name], f"focus on {focus.name}")
        self.click(self.main["あばうと", "push button"])
        self.assertTrue(self.state(self.window("Version Information")["了解", "push button"], pyatspi.STATE_IS_DEFAULT))

    def test_wayland_register_matches_x11(self):
        """The same steps through AT-SPI alone add the same line under X11 and under Wayland (a headless
        Weston: no X server, and no keyboard, so no window is ever active there)."""
        self.spawn(["weston", "--backend=headless-backend.so", "--socket=wayland-kanaroku", "--idle-time=0",
                    "--no-config"], self.env, line=False)
        self.wait_for("Weston's socket", (self.root / "wayland-kanaroku").is_socket)
        wayland = dict(QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY="wayland-kanaroku", DISPLAY="")
        line = "2,さの みなみ,佐野 ミナミ,,,1970,1,1,-1,,,,1,*,*,*,090,5550,7777,*,*,*,*,*,*\r\n".encode("cp932")
        self.assertEqual([self.register_through_atspi(), self.register_through_atspi(**wayland)], [line, line])

    def register_through_atspi(self, **env):
        """What a screen reader's user does, with its actions and no keys: reads the first person's name,
        presses 新規, chooses 携帯, fills in a name, a reading and a mobile number, presses 登録 and 終了.
        The bytes the file gained."""
        sample = EXAMPLES.read_bytes()
        shutil.copyfile(EXAMPLES, self.table)
        self.start(active=False, **env)
        first = next(line for line in sample.split(b"\r\n") if line and not line.startswith(b"#"))
        self.settle("the first person's name", lambda: self.text("名前"), first.decode("cp932").split(",")[2])
        press = lambda name, role="push button": self.main[name, role].queryAction().doAction(0)  # Press, Toggle
        press("新規")
        self.settle("the empty form", lambda: self.text("名前"), "")
        press("携帯", "radio button")
        self.wait_for("the phone fields", lambda: self.state(self.main["電話番号 1", "text"], pyatspi.STATE_ENABLED))
        form = {"名前": "佐野 ミナミ", "ふりがな": "さの みなみ", "電話番号 1": "090", "電話番号 2": "5550", "電話番号 3": "7777"}
        for name, value in form.items():
            self.main[name, "text"].queryEditableText().setTextContents(value)
        self.settle("the form", lambda: {name: self.text(name) for name in form}, form)
        press("登録")
        self.wait_for("the data file to grow", lambda: self.table.stat().st_size > len(sample))
        press("終了")
        self.assertEqual(self.program.wait(timeout=30), 0, self.log())
        after = self.table.read_bytes()
        self.assertEqual(after[:len(sample)], sample)
        return after[len(sample):]

    def test_import_a_vcard_file_through_the_window_menu(self):
        shutil.copyfile(EXAMPLES, self.table)
        after = EXAMPLES.read_bytes() + IMPORTED.encode("cp932")
        vcf = self.work / "people.vcf"
        vcf.write_bytes(VCARD.encode("utf-8"))
        self.start()
        self.watch()
        self.x("xdotool", "key", "alt+space")
        self.wait_for("the window menu", lambda: self.seen("showing", "popup menu"))
        self.x("xdotool", "key", "Up", "Up")  # from no item to the last (はがきの宛名を印刷…), then the one above
        self.settle("the item above the last", lambda: [i.name for i in self.seen("focused", "menu item")][-1:],
                    ["vCard ファイルから取り込む…"])
        self.x("xdotool", "key", "Return")
        self.window("vCard ファイルから取り込む")
        self.watch()
        self.type(str(vcf))
        # A Return before the dialog's completer has caught up with the typed name is lost.
        self.wait_for("the completer's list", lambda: self.seen("showing", "list"))
        self.x("xdotool", "key", "Return")
        self.assertEqual(self.message(), [f"{vcf} から 2 人を取り込みました。\n"])
        self.settle("the list", self.listed, names(after))
        self.assertEqual(self.table.read_bytes(), after)
        self.quit()

    def test_postal_code_and_address_fill_each_other(self):
        """Debian's postal code dictionary, nothing imported (XDG_DATA_HOME of the test's own)."""
        if not pathlib.Path("/usr/share/skk/SKK-JISYO.zipcode").exists():
            self.skipTest("skkdic-extra is not installed")
        shutil.copyfile(EXAMPLES, self.table)
        self.start(XDG_DATA_HOME=str(self.work / "data"))
        line1, zip1, zip2 = "住所 1 行目", "郵便番号 上 3 桁", "郵便番号 下 4 桁"
        code = lambda: (self.text(zip1), self.text(zip2))
        with self.subTest("a code gives the address"):
            self.click(self.main["新規", "push button"])
            self.click(self.main[zip1, "text"])
            self.type("100\t0005")
            self.settle("line 1", lambda: self.text(line1), "東京都千代田区丸の内")
        with self.subTest("a code for two places offers both in a list"):
            self.click(self.main["新規", "push button"])
            self.click(self.main[zip1, "text"])
            self.watch()
            self.type("498\t0000")
            self.wait_for("the list under line 1", lambda: self.seen("showing", "list"))
            self.x("xdotool", "key", "Down", "Down", "Return")
            self.settle("line 1", lambda: self.text(line1), "三重県桑名郡木曽岬町")
        with self.subTest("an address gives the code"):
            self.click(self.main["新規", "push button"])
            self.click(self.main[line1, "text"])
            self.type("千代田区丸の内1-1-1")
            self.click(self.main["ｅ－ｍａｉｌ", "text"])
            self.settle("the postal code", code, ("100", "0005"))
        with self.subTest("a typed address is never replaced"):
            self.click(self.main[zip2, "text"])
            self.x("xdotool", "key", "ctrl+a")
            self.type("0006")
            self.settle("the postal code", code, ("100", "0006"))
            self.assertEqual(self.text(line1), "千代田区丸の内1-1-1")
        self.assertEqual(self.table.read_bytes(), EXAMPLES.read_bytes())
        self.quit()


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2, warnings="ignore")
