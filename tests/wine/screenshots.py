#!/usr/bin/env python3
"""Pictures of the installer's boxes and dialogs for the documentation.

  screenshots.py --scrpkg EXE --stub EXE --demo AURORA.SCR --driver EXE --out docs [--wine WINE]

Packs the demo screen saver, its data file and a large extra file (so that the extraction
lasts long enough to be seen), runs the package under 64-bit Wine with its X11 driver on a
virtual 1024 x 768 screen (Xvfb) in a fresh prefix, under the automation driver answering OK
with a pause before each answer, and saves each window the driver reports, cut from the
screen, as OUT/installer-N-NAME.png. The progress panel is taken as soon as it shows, and
the run fails if it had closed by then. Wine's own fonts (fonts-wine), copied into the prefix,
draw the caption buttons. Needs Xvfb and ImageMagick's import.
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
import scenarios
import wine_session

NAMES = ["confirmation", "progress", "completion", "order-info", "settings"]
PROGRESS = 1  # index of the progress panel among the windows
DISPLAY = ":47"
WINE_FONTS = "/usr/share/wine/fonts"  # Debian's fonts-wine
EXTRA_SIZE = 24_000_000  # letters, decoded one literal at a time: a few seconds under Wine


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
    # Wine's own fonts, Marlett among them: without it the caption buttons show letters.
    fonts = prefix / "drive_c/windows/Fonts"
    for font in Path(WINE_FONTS).glob("*"):
        if not (fonts / font.name).exists():
            shutil.copyfile(font, fonts / font.name)


def capture(window, path):
    left, top, right, bottom = window["rect"]
    subprocess.run(["import", "-display", DISPLAY, "-window", "root", "-crop",
                    f"{right - left}x{bottom - top}+{left}+{top}", "+repage", str(path)],
                   check=True)


def still_open(log, window):
    """Whether the driver has not yet seen the window close."""
    events = [json.loads(line) for line in log.read_text().splitlines() if line.strip()]
    return not any(e["event"] == "closed" and e["hwnd"] == window["hwnd"] for e in events)


def follow(log, driver, out, settle):
    """Captures each window the log reports while the driver runs; False when the progress
    panel had closed before its picture was taken."""
    seen = 0
    caught_progress = False
    while True:
        lines = log.read_text().splitlines() if log.exists() else []
        windows = [json.loads(line) for line in lines if '"event":"window"' in line]
        for window in windows[seen:]:
            time.sleep(0.1 if seen == PROGRESS else settle)
            name = NAMES[seen] if seen < len(NAMES) else "window"
            capture(window, out / f"installer-{seen + 1}-{name}.png")
            if seen == PROGRESS:
                caught_progress = still_open(log, window)
            seen += 1
        if driver.poll() is not None:
            return caught_progress
        time.sleep(0.05)


def pack(options, folder):
    """The demo screen saver, its data file and a large extra file, as folder/AURORA.EXE."""
    extra = folder / "NACHT.TXT"
    extra.write_bytes(scenarios.sample_letters(EXTRA_SIZE, 3))
    demo = Path(options.demo)
    package = folder / "AURORA.EXE"
    subprocess.run([options.scrpkg, "pack", "-q", "--level", "1", "--stub", options.stub, "-o",
                    str(package), "--name", "Aurora", str(demo), str(demo.parent / "AURORA.DAT"),
                    str(extra)], check=True)
    return package


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--scrpkg", required=True)
    parser.add_argument("--stub", required=True)
    parser.add_argument("--demo", required=True, help="the demo's AURORA.SCR, beside AURORA.DAT")
    parser.add_argument("--driver", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--wine", default="/usr/lib/wine/wine64")
    parser.add_argument("--pause", type=int, default=2500, help="ms before each answer")
    options = parser.parse_args(argv)
    options.driver = str(Path(options.driver).resolve())  # Wine runs it from the prefix
    out = Path(options.out).resolve()
    out.mkdir(parents=True, exist_ok=True)
    screen = start_screen()
    try:
        with tempfile.TemporaryDirectory() as work:
            package = pack(options, Path(work))
            prefix = Path(work) / "prefix"
            make_x11_prefix(prefix, options.wine)
            (prefix / "drive_c/pkg").mkdir()
            name = package.name
            shutil.copyfile(package, prefix / "drive_c/pkg" / name)
            log = Path(work) / "driver.jsonl"
            driver = subprocess.Popen(
                [options.wine, options.driver, "--log", wine_session.windows_path(log), "--pause",
                 str(options.pause), "--timeout", "300"] + ["--answer", "1"] * 4 +
                ["C:\\pkg\\" + name], env=x11_environment(prefix), cwd=prefix / "drive_c",
                stdout=subprocess.DEVNULL)
            caught_progress = follow(log, driver, out, settle=0.5)
            wine_session.wait_for_wineserver(prefix, options.wine)
            print(wine_session.transcript(wine_session.read_log(log)))
            if not caught_progress:
                print("screenshots: the progress panel closed before its picture was taken")
            return driver.returncode if caught_progress else 1
    finally:
        screen.terminate()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
