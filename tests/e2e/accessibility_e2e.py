"""What a screen reader gets from the real kanaroku through AT-SPI, turned on as a desktop does
(org.a11y.Status IsEnabled), read with pyatspi as Orca reads it. Debian's pyatspi imports only in
/usr/bin/python3."""

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
# The field of the file's first person that each edit shows; 25 is the age.
EDITS = {"名前": 2, "ふりがな": 1, "住所 1 行目": 3, "住所 2 行目": 4, "生年月日 年": 5, "生年月日 月": 6,
         "生年月日 日": 7, "ｅ－ｍａｉｌ": 9, "郵便番号 上 3 桁": 10, "郵便番号 下 4 桁": 11,
         "電話番号 1": 13, "電話番号 2": 14, "電話番号 3": 15, "歳": 25}
GROUPS = {"性別": ["男", "女"], "電話番号の種類": ["自宅", "携帯", "PHS", "ポケベル"], "血液型": ["A", "B", "O", "AB"]}


class Accessibility(unittest.TestCase):
    def setUp(self):
        self.work = pathlib.Path(tempfile.mkdtemp(prefix="kanaroku-a11y-"))
        self.addCleanup(shutil.rmtree, self.work, ignore_errors=True)
        # Nothing of the desktop this runs in: its buses, its accessibility
        # setting (read nor written: memory settings), Qt's own switches.
        env = {k: v for k, v in os.environ.items() if not k.startswith(("DBUS_", "AT_SPI", "QT_", "DISPLAY"))}
        env.update(XDG_RUNTIME_DIR=str(self.work), LANG="C.UTF-8", GSETTINGS_BACKEND="memory")
        display = self.spawn(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"], env)
        os.environ.clear()
        os.environ.update(env, DBUS_SESSION_BUS_ADDRESS=self.spawn(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"], env))
        self.program_env = dict(os.environ, DISPLAY=":" + display, QT_QPA_PLATFORM="xcb")

    def spawn(self, command, env):
        """Starts a process group that ends with the test; its first line."""
        process = subprocess.Popen(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                   start_new_session=True)
        self.addCleanup(process.wait)
        self.addCleanup(os.killpg, process.pid, signal.SIGKILL)
        self.addCleanup(process.stdout.close)
        return process.stdout.readline().strip()

    def wait_for(self, what, probe, timeout=30):
        deadline = time.monotonic() + timeout
        while not (value := probe()):
            self.assertLess(time.monotonic(), deadline, f"timed out waiting for {what}")
            time.sleep(0.05)
        return value

    def is_enabled(self, *value):
        """Reads or sets IsEnabled. The first call has the session bus start
        the AT-SPI bus launcher, without a display: else it leaves the bus
        address on the root window, where Qt finds it whatever IsEnabled says."""
        done = subprocess.run(["gdbus", "call", "--session", "--dest", "org.a11y.Bus",
                               "--object-path", "/org/a11y/bus",
                               "--method", "org.freedesktop.DBus.Properties." + ("Set" if value else "Get"),
                               "org.a11y.Status", "IsEnabled", *value], capture_output=True, text=True, timeout=30)
        return (done.stdout + done.stderr).strip()

    def test_a_screen_reader_hears_every_control(self):
        self.assertEqual(self.is_enabled(), "(<false>,)", "accessibility starts off")
        self.assertEqual(self.is_enabled("<true>"), "()")
        shutil.copyfile(EXAMPLES, self.work / "AddressTable.csv")
        program = subprocess.Popen([BINARY], cwd=self.work, env=self.program_env)
        self.addCleanup(program.wait)
        self.addCleanup(program.kill)
        import pyatspi

        def controls(title):
            found = self.wait_for(title, lambda: [w for app in pyatspi.Registry.getDesktop(0)
                                                  if app and app.get_process_id() == program.pid
                                                  for w in app if w.name == title and w.childCount])
            return {(c.name, c.getRoleName()): c for c in found[0]}

        def state(control, wanted):
            control.clear_cache()
            return control.getState().contains(wanted)

        person = [line for line in EXAMPLES.read_bytes().decode("cp932").split("\r\n") if line and line[0] != "#"]
        first = person[0].split(",")
        now = time.localtime()
        first.append(str(now.tm_year - int(first[5]) - ((now.tm_mon, now.tm_mday) < tuple(map(int, first[6:8])))))
        main = controls("なまえ☆ばこ！")
        for name, field in EDITS.items():
            self.assertEqual(main[name, "text"].queryText().getText(0, -1), first[field], name)
        listed = main["名前を選択してください", "list"]
        self.assertEqual(sorted(item.name for item in listed), sorted(line.split(",")[2] for line in person))
        for name in ("生年月日 年", "生年月日 月", "生年月日 日"):
            self.assertEqual([(arrow.name, arrow.getRoleName()) for arrow in main[name, "filler"]],
                             [("増やす", "push button"), ("減らす", "push button")])
        labels = {button: [r.getTarget(0).name for r in main[button, "radio button"].getRelationSet()
                           if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
                  for buttons in GROUPS.values() for button in buttons}
        self.assertEqual(labels, {button: [group] for group, buttons in GROUPS.items() for button in buttons})
        # The default button is the focused push button, else 登録; the focus starts on 新規.
        new, register, delete = (main[name, "push button"] for name in ("新規", "登録", "削除"))
        for focus, default in ((new, new), (main["名前", "text"], register), (delete, delete),
                               (main["男", "radio button"], register)):
            if focus is not new:
                focus.queryComponent().grabFocus()
            self.wait_for(f"the focus on {focus.name}", lambda: state(focus, pyatspi.STATE_FOCUSED))
            self.assertEqual([b.name for b in (new, register, delete) if state(b, pyatspi.STATE_IS_DEFAULT)],
                             [default.name], f"focus on {focus.name}")
        about = main["あばうと", "push button"].queryAction()
        about.doAction([about.getName(i) for i in range(about.nActions)].index("Press"))
        self.assertTrue(state(controls("Version Information")["了解", "push button"], pyatspi.STATE_IS_DEFAULT))


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
