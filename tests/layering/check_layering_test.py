#!/usr/bin/env python3
"""The layering check on small source trees: each kind of upward include is reported, and the
includes the layers are allowed are not."""
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import check_layering  # noqa: E402

PORTABLE = {"prefs", "logo", "app", "menubar"}


class LayeringCheckTest(unittest.TestCase):
    def problems(self, files):
        with tempfile.TemporaryDirectory() as folder:
            root = pathlib.Path(folder)
            for name, text in files.items():
                (root / name).parent.mkdir(parents=True, exist_ok=True)
                (root / name).write_text(text)
            return check_layering.check(root, PORTABLE)

    def test_allowed_includes_pass(self):
        self.assertEqual(self.problems({
            "app/app.cpp": '#include <string>\n#include <nlohmann/json.hpp>\n#include "prefs/prefs.h"\n'
                           '#include "platform/clock.h"\n',
            "menubar/menu_state.h": "#include <optional>\n",
            "platform/clock.h": "#include <chrono>\n",
            "platform/linux/clock_linux.cpp": '#include <QTimer>\n#include <unistd.h>\n'
                                              '#include "prefs/app_identifier.h"\n#include "logo/table.h"\n',
            "shell/shell.cpp": '#include <QApplication>\n#include "app/app.h"\n#include "ui/tray.h"\n',
            "ui/tray.cpp": '#include <QMenu>\n#include "menubar/menu_state.h"\n',
            "main.cpp": '#include "shell/shell.h"\n#include "platform/linux/linux_platform.h"\n',
        }), [])

    def test_each_upward_include_is_reported(self):
        problems = self.problems({
            "prefs/prefs.cpp": "#include <QString>\n",
            "logo/logo.cpp": "  #  include <unistd.h>\n",
            "app/app.cpp": '#include "platform/linux/dbus_buses.h"\n',
            "menubar/menu.cpp": '#include "ui/tray.h"\n',
            "platform/session.h": "#include <sys/types.h>\n",
            "platform/linux/application.cpp": '#include "app/app_delegate.h"\n',
            "platform/emulated/device.cpp": '#include "shell/shell.h"\n',
            "ui/tray.cpp": '#include "shell/shell.h"\n',
        })
        self.assertEqual([problem.split(":")[0] for problem in problems], [
            "app/app.cpp", "logo/logo.cpp", "menubar/menu.cpp", "platform/emulated/device.cpp",
            "platform/linux/application.cpp", "platform/session.h", "prefs/prefs.cpp", "ui/tray.cpp"])
        self.assertIn("logo/logo.cpp:1: portable code includes a Qt or system header", problems[1])
        self.assertIn("a platform service includes product code", problems[4])

    def test_command_line_fails_on_a_problem_and_on_a_missing_folder(self):
        with tempfile.TemporaryDirectory() as folder:
            (pathlib.Path(folder) / "prefs").mkdir()
            (pathlib.Path(folder) / "prefs" / "p.cpp").write_text("#include <QDir>\n")
            self.assertEqual(check_layering.main([folder, "prefs"]), 1)
            self.assertEqual(check_layering.main([folder, "logo"]), 0)
            self.assertEqual(check_layering.main([folder + "/absent", "prefs"]), 2)


if __name__ == "__main__":
    unittest.main()
