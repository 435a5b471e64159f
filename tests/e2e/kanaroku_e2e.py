"""End-to-end scenarios: the built kanaroku binary in an X server of its
own, driven from outside with the mouse and the keyboard.

What a scenario sees it reads as a person could: the text of an edit or of a
list item through the clipboard (select, Ctrl+C), window titles and the
keyboard focus from the X server, pictures of the window, and the bytes of
AddressTable.csv. Screenshots of every scenario land in the artifacts folder.

    python3 kanaroku_e2e.py --binary PATH [--artifacts DIR] [unittest arguments]
"""

import argparse
import datetime
import os
import pathlib
import shutil
import sys
import tempfile
import unittest

import desktop
from desktop import TITLE, wait_for

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples" / "AddressTable.csv"
BINARY = None
ARTIFACTS = None

KANA_ROW_CODES = {label: code for code, label in enumerate(desktop.INDEX_BUTTONS[:10])}
KANA_ROW_CODES["英字"] = 99


def people(data):
    """The data lines of a table file, as lists of text fields."""
    rows = []
    for line in data.split(b"\r\n"):
        if line and not line.startswith(b"#"):
            rows.append(line.decode("cp932").split(","))
    return rows


def expected_age(year, month, day):
    today = datetime.date.today()
    return today.year - year - (1 if (today.month, today.day) < (month, day) else 0)


class Scenario(unittest.TestCase):
    """Each test: an X server, a fresh directory, the program started in it."""

    def setUp(self):
        self.server = desktop.XServer()
        self.addCleanup(self.server.stop)
        self.root = pathlib.Path(tempfile.mkdtemp(prefix="kanaroku-e2e-"))
        self.addCleanup(shutil.rmtree, self.root, ignore_errors=True)
        self.work = self.root / "work"
        self.work.mkdir()
        self.table = self.work / "AddressTable.csv"
        self.program = None
        self.starts = 0
        self.shots = 0
        if ARTIFACTS is not None:
            for old in pathlib.Path(ARTIFACTS).glob(self.id().split(".")[-1] + "-*.png"):
                old.unlink()

    def tearDown(self):
        if self.program is None:
            return
        # Every scenario ends the program itself with status 0; one still
        # running, or ended otherwise, failed.
        status = self.program.process.poll()
        if status is None and self.program.main is not None:
            self.snapshot("at-failure")
        self.program.stop()
        log = self.program.output()
        if status != 0 and log.strip():
            print(f"\n--- program output ({self.id()}) ---\n{log}", file=sys.stderr)

    # Helpers -------------------------------------------------------------

    def use_examples(self):
        shutil.copyfile(EXAMPLES, self.table)
        return self.table.read_bytes()

    def start(self, **extra_env):
        if self.program is not None:
            self.program.stop()
        self.starts += 1
        log = self.root / f"program-{self.starts}.log"
        self.program = desktop.Program(self.server, BINARY, str(self.work), str(log), extra_env)
        return self.program.wait_main_window()

    def snapshot(self, name, window=None):
        """Keeps a picture of the scenario for whoever reads the results."""
        if ARTIFACTS is None:
            return
        self.shots += 1
        folder = pathlib.Path(ARTIFACTS)
        folder.mkdir(parents=True, exist_ok=True)
        target = folder / f"{self.id().split('.')[-1]}-{self.shots:02d}-{name}.png"
        self.server.save_png(window or self.program.main.id, target)

    def list_names(self, window):
        """Every item of the name list, top to bottom: the list gets the
        focus by a click, then Home and Down walk it, each item copied."""
        x, y, w, h = window.rect("list")
        self.server.click(window.id, x + w // 3, y + h - 4)
        names = [self.server.copy_from_program("Home", "ctrl+c")]
        while True:
            name = self.server.copy_from_program("Down", "ctrl+c")
            if name == names[-1]:
                return names
            names.append(name)

    def select_in_list(self, window, name):
        """Walks the list to `name` with the keyboard; the item ends selected."""
        current = self.server.copy_from_program("Home", "ctrl+c")
        while current != name:
            following = self.server.copy_from_program("Down", "ctrl+c")
            self.assertNotEqual(following, current, f"{name} is not in the list")
            current = following

    def phone_number(self, window):
        return tuple(window.text_of(f"phone{part}") for part in (1, 2, 3))

    def quit_with_escape(self):
        self.server.key("Escape")
        self.assertEqual(self.program.wait_exit(), 0)

    def wait_file_grows(self, size_before):
        wait_for("the data file to grow",
                 lambda: self.table.exists() and self.table.stat().st_size > size_before)

    # Scenarios -----------------------------------------------------------

    def test_window_opens_with_every_name_and_the_first_person(self):
        data = self.use_examples()
        everyone = people(data)
        window = self.start()
        self.snapshot("opened")
        self.assertEqual(self.program.other_windows(TITLE), [], "no message box at start")
        self.assertEqual(window.text_of("name"), everyone[0][2])
        self.assertEqual(window.text_of("reading"), everyone[0][1])
        names = self.list_names(window)
        self.assertEqual(sorted(names), sorted(row[2] for row in everyone))
        self.assertEqual(len(names), 40)
        self.quit_with_escape()

    def test_index_buttons_filter_by_kana_row_and_all_lists_everyone(self):
        everyone = people(self.use_examples())
        window = self.start()
        for label in ("か", "英字", "ら", "ALL"):
            with self.subTest(button=label):
                window.click(label)
                wanted = [row[2] for row in everyone
                          if label == "ALL" or int(row[0]) == KANA_ROW_CODES[label]]
                if len(wanted) < 10:
                    # What the eye sees first: that many lines in the list.
                    wait_for(f"{len(wanted)} names drawn in the list",
                             lambda: window.list_text_lines() == len(wanted))
                self.assertEqual(sorted(self.list_names(window)), sorted(wanted))
                self.snapshot(f"after-{label}")
        self.quit_with_escape()

    def test_double_click_shows_the_person_with_age_and_phone(self):
        everyone = people(self.use_examples())
        person = next(row for row in everyone if row[2] == "加藤 花子")
        window = self.start()
        window.click("list")
        self.select_in_list(window, person[2])
        centre = wait_for("the selected row drawn", window.selected_list_row)
        self.server.click(window.id, *centre, count=2)
        self.assertEqual(window.text_of("name"), person[2])
        self.assertEqual(window.text_of("reading"), person[1])
        self.snapshot("shown")
        age = expected_age(int(person[5]), int(person[6]), int(person[7]))
        self.assertEqual(window.text_of("age"), str(age))
        self.assertEqual(self.phone_number(window), tuple(person[16:19]), "携帯 is her only number")
        self.quit_with_escape()

    def test_phone_kinds_switch_between_the_stored_numbers(self):
        first = people(self.use_examples())[0]
        home, mobile = tuple(first[13:16]), tuple(first[16:19])
        self.assertTrue("*" not in home + mobile and first[19] == "*")
        window = self.start()
        self.assertEqual(self.phone_number(window), home)
        window.click("携帯")
        self.assertEqual(self.phone_number(window), mobile)
        self.snapshot("mobile")
        window.click("PHS")
        # An empty edit puts nothing on the clipboard, so its picture tells.
        wait_for("three empty phone edits",
                 lambda: all(window.is_blank(f"phone{part}") for part in (1, 2, 3)))
        self.assertFalse(window.is_blank("name"), "a blank test that cannot fail proves nothing")
        window.click("自宅")
        self.assertEqual(self.phone_number(window), home)
        self.quit_with_escape()

    def test_new_person_typed_in_japanese_is_appended_and_listed_after_restart(self):
        before = self.use_examples()
        window = self.start()
        window.click("新規")
        name, reading = "佐野 ミナミ", "さの みなみ"
        self.server.type(name)
        self.server.key("Tab")
        self.server.type(reading)
        self.assertEqual(window.text_of("name"), name, "typed through the keyboard")
        self.assertEqual(window.text_of("reading"), reading)
        window.click("携帯")
        window.click("phone1")
        self.server.type("090")
        self.server.key("Tab")
        self.server.type("5550")
        self.server.key("Tab")
        self.server.type("7777")
        self.snapshot("typed")
        window.click("登録")
        self.wait_file_grows(len(before))
        line = f"2,{reading},{name},,,1970,1,1,-1,,,,1,*,*,*,090,5550,7777,*,*,*,*,*,*\r\n"
        self.assertEqual(self.table.read_bytes(), before + line.encode("cp932"))
        self.quit_with_escape()

        window = self.start()
        window.click("さ")
        wanted = [row[2] for row in people(before) if row[0] == "2"] + [name]
        self.assertEqual(sorted(self.list_names(window)), sorted(wanted))
        self.snapshot("listed-after-restart")
        self.quit_with_escape()

    def test_a_name_already_in_the_file_is_refused_with_a_message_box(self):
        before = self.use_examples()
        window = self.start()
        window.click("新規")
        self.server.type("加藤 花子")
        self.server.key("Tab")
        self.server.type("かとう はなこ")
        window.click("登録")
        box = self.program.wait_message_box()
        self.assertEqual(self.server.run("xdotool", "getwindowname", str(box.id)).decode().strip(), TITLE)
        self.snapshot("refused", box.id)
        self.server.key("Return")
        self.program.wait_no_message_box()
        self.assertEqual(self.table.read_bytes(), before)
        self.assertEqual(window.text_of("name"), "加藤 花子", "the form keeps what was typed")
        self.quit_with_escape()
        self.assertEqual(self.table.read_bytes(), before)

    def test_escape_ends_the_program_with_status_zero_and_the_file_unchanged(self):
        before = self.use_examples()
        stat_before = self.table.stat()
        window = self.start()
        window.click("か")
        window.click("ALL")
        self.server.key("Escape")
        self.assertEqual(self.program.wait_exit(), 0)
        self.assertEqual(self.table.read_bytes(), before)
        self.assertEqual(self.table.stat().st_mtime_ns, stat_before.st_mtime_ns)

    def test_a_missing_file_is_created_and_the_first_person_registered(self):
        self.assertFalse(self.table.exists())
        window = self.start()
        wait_for("the data file to be created", self.table.exists)
        self.assertEqual(self.table.read_bytes(), b"")
        self.assertEqual(self.program.other_windows(TITLE), [], "an empty file is no error")
        self.snapshot("empty")
        window.click("新規")
        self.server.type("Ada Lovelace")
        self.server.key("Tab")
        self.server.type("えいだ")
        window.click("自宅")
        window.click("phone1")
        self.server.type("03")
        self.server.key("Tab")
        self.server.type("5550")
        self.server.key("Tab")
        self.server.type("0001")
        window.click("登録")
        self.wait_file_grows(0)
        line = "0,えいだ,Ada Lovelace,,,1970,1,1,-1,,,,1,03,5550,0001,*,*,*,*,*,*,*,*,*\r\n"
        self.assertEqual(self.table.read_bytes(), line.encode("cp932"))
        self.assertEqual(self.list_names(window), ["Ada Lovelace"])
        self.quit_with_escape()

    def test_input_method_modules_of_ibus_and_fcitx5_are_loaded(self):
        # A Japanese desktop names its input method in QT_IM_MODULE; Qt then
        # loads the matching plugin, which needs the program to use the
        # system's Qt and its plugin folder.
        self.use_examples()
        for module, plugin in (("ibus", "libibusplatforminputcontextplugin.so"),
                               ("fcitx5", "libfcitx5platforminputcontextplugin.so")):
            with self.subTest(module=module):
                self.start(QT_IM_MODULE=module, QT_DEBUG_PLUGINS="1")
                self.quit_with_escape()
                loaded = [line for line in self.program.output().splitlines()
                          if f"platforminputcontexts/{plugin}\" loaded library" in line]
                self.assertTrue(loaded, f"Qt did not load {plugin}")


def main():
    global BINARY, ARTIFACTS
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", required=True)
    parser.add_argument("--artifacts")
    options, rest = parser.parse_known_args()
    BINARY = os.path.abspath(options.binary)
    ARTIFACTS = options.artifacts
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
