#!/usr/bin/env python3
"""Pictures of a package's boxes and dialogs for the documentation.

  screenshots.py --package AURORA.EXE --driver driver_x86_64.exe --out docs [--wine WINE]

Runs the package under 64-bit Wine with its X11 driver on a virtual 1024 x 768 screen (Xvfb)
in a fresh prefix, under the automation driver answering OK with a pause before each answer,
and saves each window the driver reports, cut from the screen, as OUT/installer-N-NAME.png.
Needs Xvfb and ImageMagick's import.
"""

import argparse
import json
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source folder clean of caches
import wine_session

NAMES = ["confirmation", "progress", "completion", "order-info", "settings"]
DISPLAY = ":47"


def start_screen():
    screen = subprocess.Popen(["Xvfb", DISPLAY, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(2)
    return screen


def x11_environment(prefix):
    env = wine_session.wine_environment(prefix)
    env["DISPLAY"] = DISPLAY
    return env


# Without a window manager on the virtual screen Wine draws the title bars and frames itself.
UNMANAGED_USER_REG = 'WINE REGISTRY Version 2\n\n[Software\\\\Wine\\\\X11 Driver]\n"Managed"="N"\n'


def make_x11_prefix(prefix, wine):
    shutil.rmtree(prefix, ignore_errors=True)
    prefix.mkdir(parents=True)
    (prefix / "user.reg").write_text(UNMANAGED_USER_REG)
    subprocess.run([wine, "wineboot", "-i"], env=x11_environment(prefix), check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=900)
    wine_session.wait_for_wineserver(prefix, wine)


def capture(window, path):
    left, top, right, bottom = window["rect"]
    subprocess.run(["import", "-display", DISPLAY, "-window", "root", "-crop",
                    f"{right - left}x{bottom - top}+{left}+{top}", "+repage", str(path)],
                   check=True)


def follow(log, driver, out, settle):
    """Captures each window the log reports while the driver runs."""
    seen = 0
    while True:
        lines = log.read_text().splitlines() if log.exists() else []
        windows = [json.loads(line) for line in lines if '"event":"window"' in line]
        for window in windows[seen:]:
            time.sleep(settle)
            name = NAMES[seen] if seen < len(NAMES) else "window"
            capture(window, out / f"installer-{seen + 1}-{name}.png")
            seen += 1
        if driver.poll() is not None:
            return driver.returncode
        time.sleep(0.05)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--package", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--wine", default="/usr/lib/wine/wine64")
    parser.add_argument("--pause", type=int, default=2500, help="ms before each answer")
    options = parser.parse_args(argv)
    out = Path(options.out).resolve()
    out.mkdir(parents=True, exist_ok=True)
    screen = start_screen()
    try:
        with tempfile.TemporaryDirectory() as work:
            prefix = Path(work) / "prefix"
            make_x11_prefix(prefix, options.wine)
            (prefix / "drive_c/pkg").mkdir()
            name = Path(options.package).name
            shutil.copyfile(options.package, prefix / "drive_c/pkg" / name)
            log = Path(work) / "driver.jsonl"
            driver = subprocess.Popen(
                [options.wine, options.driver, "--log", wine_session.windows_path(log), "--pause",
                 str(options.pause), "--timeout", "300"] + ["--answer", "1"] * 4 +
                ["C:\\pkg\\" + name], env=x11_environment(prefix), cwd=prefix / "drive_c",
                stdout=subprocess.DEVNULL)
            code = follow(log, driver, out, settle=0.5)
            wine_session.wait_for_wineserver(prefix, options.wine)
            print(wine_session.transcript(wine_session.read_log(log)))
            return code
    finally:
        screen.terminate()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
