#!/usr/bin/env python3
"""The layering check on small source trees and on a copy of the real one: an include that runs
up a floor, or across from the portable column to the Linux one, is reported; includes from the
same floor or from below are not.

HALOMARK_SOURCE_ROOT (the real src/) and HALOMARK_PORTABLE_FOLDERS (comma-separated) are set by the
build; without them the tests on the real tree are skipped."""
import os
import pathlib
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import check_layering  # noqa: E402

PORTABLE = {"prefs", "logo", "automation", "hooks", "updates", "app", "cli", "menubar"}


def plant(root, files):
    for name, text in files.items():
        (root / name).parent.mkdir(parents=True, exist_ok=True)
        with open(root / name, "a", encoding="utf-8") as file:
            file.write(text)


class SmallTreeTest(unittest.TestCase):
    def problems(self, files, portable=PORTABLE):
        with tempfile.TemporaryDirectory() as folder:
            plant(pathlib.Path(folder), files)
            return check_layering.check(pathlib.Path(folder), portable)

    def test_same_floor_and_downward_includes_pass(self):
        self.assertEqual(self.problems({
            "formats/table.h": '#include <vector>\n#include <nlohmann/json.hpp>\n',
            "platform/interfaces/clock.h": '#include "formats/table.h"\n',
            "prefs/prefs.cpp": '#include "logo/logo.h"\n#include "platform/interfaces/clock.h"\n',
            "hooks/hook.cpp": '#include "updates/feed.h"\n#include "automation/rules.h"\n#include "prefs/p.h"\n',
            "app/app.cpp": '#include <string>\n#include "automation/rules.h"\n#include "formats/table.h"\n',
            "cli/cli.cpp": '#include "menubar/menu.h"\n#include "app/app.h"\n',
            "platform/linux_utilities/bus.cpp": '#include <QDBusMessage>\n#include "platform/interfaces/clock.h"\n',
            "platform/linux_services/clock_linux.cpp": '#include <unistd.h>\n#include "platform/linux_utilities/bus.h"\n'
                                                       '#include "platform/devices/leds/led.h"\n#include "formats/table.h"\n',
            "platform/devices/leds/led.cpp": '#include "platform/linux_services/clock_linux.h"\n',
            "ui/tray.cpp": '#include <QMenu>\n#include "menubar/menu.h"\n#include "platform/linux_services/clock_linux.h"\n',
            "shell/shell.cpp": '#include "ui/tray.h"\n#include "prefs/prefs.h"\n#include "shell_adaptor.h"\n',
            "shell/tray/entry.cpp": '#include "shell/shell.h"\n',
            "main.cpp": '#include "shell/shell.h"\n#include "cli/cli.h"\n',
        }), [])

    def test_each_upward_or_crossing_include_is_reported(self):
        problems = self.problems({
            "formats/table.h": '#include "prefs/prefs.h"\n',
            "platform/interfaces/session.h": "#include <sys/types.h>\n",
            "prefs/prefs.cpp": '#include "app/app.h"\n',
            "logo/logo.cpp": "  #  include <QString>\n",
            "automation/rules.cpp": '#include "platform/linux_utilities/bus.h"\n',
            "app/app.cpp": '#include "menubar/menu.h"\n',
            "menubar/menu.cpp": '#include "ui/tray.h"\n',
            "platform/linux_utilities/bus.cpp": '#include "platform/linux_services/clock_linux.h"\n',
            "platform/linux_services/clock_linux.cpp": '#include "logo/logo_controller.h"\n',
            "platform/devices/led.cpp": '#include "shell/linux_platform.h"\n',
            "ui/tray.cpp": '#include "shell/shell.h"\n',
        })
        self.assertEqual([problem.split(":")[0] for problem in problems], [
            "app/app.cpp", "automation/rules.cpp", "formats/table.h", "logo/logo.cpp", "menubar/menu.cpp",
            "platform/devices/led.cpp", "platform/interfaces/session.h", "platform/linux_services/clock_linux.cpp",
            "platform/linux_utilities/bus.cpp", "prefs/prefs.cpp", "ui/tray.cpp"])
        self.assertIn("logo/logo.cpp:1: portable code includes a Qt or system header", problems[3])
        self.assertIn("the linux services and devices floor includes from the store and logo floor", problems[7])

    def test_folders_on_no_floor_are_reported(self):
        problems = self.problems({
            "gadgets/gadget.cpp": '#include "prefs/prefs.h"\n',
            "platform/bsd/clock.cpp": "",
            "ui/tray.cpp": "",
            "loose.cpp": "",
        }, portable={"ui"})
        self.assertEqual(problems, ["ui: portable folder on no portable floor", "gadgets: folder on no floor",
                                    "platform/bsd: folder on no floor", "loose.cpp: file on no floor"])

    def test_command_line_fails_on_a_problem_and_on_a_missing_folder(self):
        with tempfile.TemporaryDirectory() as folder:
            plant(pathlib.Path(folder), {"prefs/p.cpp": "#include <QDir>\n"})
            self.assertEqual(check_layering.main([folder, "prefs"]), 1)
            (pathlib.Path(folder) / "prefs" / "p.cpp").write_text('#include "formats/table.h"\n')
            self.assertEqual(check_layering.main([folder, "prefs"]), 0)
            self.assertEqual(check_layering.main([folder + "/absent", "prefs"]), 2)


@unittest.skipUnless(os.environ.get("HALOMARK_SOURCE_ROOT"), "HALOMARK_SOURCE_ROOT not set")
class RealTreeTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = pathlib.Path(self.folder.name) / "src"
        shutil.copytree(os.environ["HALOMARK_SOURCE_ROOT"], self.root)
        self.portable = set(filter(None, os.environ.get("HALOMARK_PORTABLE_FOLDERS", "").split(",")))

    def tearDown(self):
        self.folder.cleanup()

    def test_the_tree_as_it_is_passes(self):
        self.assertEqual(check_layering.check(self.root, self.portable), [])

    def test_a_planted_upward_include_fails(self):
        for name, text in {
            "formats/brightness_table.h": '#include "logo/logo_controller.h"\n',
            "platform/devices/leds/led_logo_device.cpp": '#include "logo/logo_controller.h"\n',
            "platform/linux_utilities/atomic_file.cpp": '#include "platform/linux_services/files_linux.h"\n',
            "prefs/prefs.cpp": '#include "platform/linux_utilities/atomic_file.h"\n',
            "app/app_delegate.cpp": '#include "cli/cli.h"\n',
            "ui/status_menu.cpp": '#include "shell/linux_platform.h"\n',
        }.items():
            with self.subTest(name=name):
                shutil.copy2(self.root / name, self.root / (name + ".kept"))
                plant(self.root, {name: text})
                problems = check_layering.check(self.root, self.portable)
                shutil.move(self.root / (name + ".kept"), self.root / name)
                self.assertEqual(len(problems), 1, problems)
                self.assertTrue(problems[0].startswith(name + ":"), problems)

    def test_planted_same_floor_and_downward_includes_pass(self):
        plant(self.root, {
            "hooks/claude_hook.cpp": '#include "updates/version_compare.h"\n',
            "cli/cli.cpp": '#include "menubar/menu_state.h"\n#include "formats/fallback_tables.h"\n',
            "platform/linux_services/files_linux.cpp": '#include "platform/devices/leds/led_class.h"\n',
        })
        self.assertEqual(check_layering.check(self.root, self.portable), [])


if __name__ == "__main__":
    unittest.main()
