#!/usr/bin/env python3
"""Looks at the real reader's About box and font page under Xvfb.

The About box is opened through the menu ("메뉴", then Up twice to "이놈은", Return). Its
quotation, black on light green, must show every one of its four lines whole: four bands
of ink inside the green box, none touching its top or bottom edge.

The font page must show the face the reader draws with when the stored face is not
installed: the reader is run twice, once with the settings' face "Tahoma" (the default; a
made-up name should Tahoma be installed) and once with fontconfig's choice for Korean, the
face drawn in its place. The "글자" tab (F1 opens the sheet, Ctrl+Tab reaches the tab) must
look the same in both runs, the face list included; an empty face list differs.

Screenshots are left in the output folder. Exit code 77 means a tool is missing or Xvfb
could not be started (the test is skipped).
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

from x_session import (copy_program, SKIP, Failure, need, Program, restart_refused, run,
                       start_xvfb, WINDOW_TIMEOUT)

SCREEN_W, SCREEN_H = 1024, 768
QUOTATION_BACK = bytes((200, 255, 200))
QUOTATION_LINES = 4
# A pixel whose red, green and blue add up to less than this is ink.
INK = 300
SETTINGS, QUIT = 10, 13


def settings_file(face):
    """SetParam.Dat with the defaults, `face`, button 1 "설정" and button 4 "리라코 종료"."""
    def string(text):
        return struct.pack("<i", len(text) + 1) + (text + "\0").encode("utf-16-le")
    fields = (struct.pack("<I", 0) + struct.pack("<6i", 6, 5, 1, 2, 15, 0) +
              struct.pack("<2I", 0, 0xFFFFFF) + struct.pack("<5i", 0, 0, 3, 1, 1) +
              face.encode("utf-16-le").ljust(64, b"\0") + struct.pack("<i", 1) +
              struct.pack("<20i", SETTINGS, 0, 0, QUIT, 0, *([0] * 15)) +
              struct.pack("<4i", 0, 1600, 0, 0))
    lists = struct.pack("<i", 2) + string(".txt") + string(".cap") + struct.pack("<2i", 0, 0)
    return b"default".ljust(128, b"\0") + struct.pack("<i", 538) + fields + lists


def windows(pid, env):
    """The visible windows of `pid`: id -> (x, y, width, height)."""
    found = {}
    for wid in run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], env,
                   check=False).split():
        geometry = run(["xdotool", "getwindowgeometry", "--shell", wid], env, check=False)
        values = dict(line.split("=") for line in geometry.split() if "=" in line)
        if "WIDTH" in values:
            found[wid] = tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
    return found


def new_window(program, known, env, what, timeout=20):
    deadline = time.time() + timeout
    restarts = 0
    while time.time() < deadline:
        fresh = [w for w in windows(program.pid, env) if w not in known]
        if fresh:
            time.sleep(0.8)  # let it paint
            return fresh[0]
        if program.poll() is not None:
            restarts = restart_refused(program, restarts, what)
            continue
        time.sleep(0.2)
    raise Failure(f"no window for {what}")


def key(env, wid, name):
    run(["xdotool", "windowfocus", "--sync", wid], env, check=False)
    run(["xdotool", "key", "--clearmodifiers", name], env)
    time.sleep(0.5)


def capture(wid, png, env, timeout=10):
    """Takes the picture of window `wid` once it stays the same between two looks."""
    previous = None
    deadline = time.time() + timeout
    while True:
        run(["import", "-window", wid, png], env)
        with open(png, "rb") as f:
            current = f.read()
        if current == previous or time.time() > deadline:
            return
        previous = current
        time.sleep(0.4)


def read_rgb(png, env):
    width, height = map(int, run(["identify", "-format", "%w %h", png], env).split())
    data = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], env=env,
                          capture_output=True, check=True).stdout
    return width, height, data


def quotation_bands(png, env):
    """The green box (left, top, right, bottom) and the runs of rows with ink inside it."""
    width, height, data = read_rgb(png, env)
    pixel = lambda x, y: data[3 * (y * width + x):3 * (y * width + x) + 3]  # noqa: E731
    green = [(x, y) for y in range(height) for x in range(width)
             if pixel(x, y) == QUOTATION_BACK]
    if not green:
        raise Failure("the About box shows no light green quotation")
    left, right = min(x for x, _ in green), max(x for x, _ in green)
    top, bottom = min(y for _, y in green), max(y for _, y in green)
    bands = []
    for y in range(top, bottom + 1):
        if any(sum(pixel(x, y)) < INK for x in range(left, right + 1)):
            if bands and bands[-1][1] == y - 1:
                bands[-1][1] = y
            else:
                bands.append([y, y])
    return (left, top, right, bottom), bands


class Reader:
    """The reader with `face` in its settings, in a folder of its own, on `display`."""

    def __init__(self, lirako, face, display, book, out, label):
        self.folder = tempfile.mkdtemp(prefix="lirako-dialogs-e2e-")
        prog = os.path.join(self.folder, "lirako")
        copy_program(lirako, prog)
        with open(os.path.join(self.folder, "SetParam.Dat"), "wb") as f:
            f.write(settings_file(face))
        self.env = dict(os.environ, DISPLAY=display, HOME=self.folder,
                        XDG_CONFIG_HOME=self.folder, XDG_DATA_HOME=self.folder,
                        LIRAKO_REGISTRY=os.path.join(self.folder, "registry"),
                        QT_QPA_PLATFORM="xcb")
        self.env.pop("LIRAKO_NO_CP949", None)
        self.program = Program(prog, [book], self.env,
                               os.path.join(out, f"dialogs_e2e_{label}.log"))
        self.main = new_window(self.program, set(), self.env, "the reader", WINDOW_TIMEOUT)
        time.sleep(1.0)

    def font_page(self, png):
        """Opens the sheet, shows the "글자" tab, takes its picture and cancels."""
        key(self.env, self.main, "F1")
        sheet = new_window(self.program, {self.main}, self.env, "the settings sheet")
        key(self.env, sheet, "ctrl+Tab")
        capture(sheet, png, self.env)
        key(self.env, sheet, "Escape")

    def about_box(self, png):
        """Opens the About box from the menu, takes its picture and closes it."""
        x, y, _, _ = windows(self.program.pid, self.env)[self.main]
        run(["xdotool", "mousemove", str(x + 20), str(y + 10), "click", "1"], self.env)
        time.sleep(0.6)
        for name in ("Up", "Up", "Return"):
            run(["xdotool", "key", name], self.env)
            time.sleep(0.3)
        about = new_window(self.program, {self.main}, self.env, "the About box")
        capture(about, png, self.env)
        key(self.env, about, "Escape")

    def quit(self):
        key(self.env, self.main, "F4")  # "리라코 종료"
        try:
            code = self.program.wait(timeout=20)
        except subprocess.TimeoutExpired:
            raise Failure("the reader did not quit")
        if code != 0:
            raise Failure(f"the reader exited with {code}")

    def close(self):
        self.program.kill()
        shutil.rmtree(self.folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lirako", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "import", "identify", "fc-match", "fc-list"):
        need(tool)
    os.makedirs(args.out, exist_ok=True)
    xvfb, display = start_xvfb(SCREEN_W, SCREEN_H, range(330, 400))
    if xvfb is None:
        print("dialogs_e2e: Xvfb did not start", file=sys.stderr)
        return SKIP
    book = os.path.join(args.samples, "byeolbit.txt")
    # The default face, unless this machine has it.
    missing = "Tahoma"
    if run(["fc-list", missing], os.environ).strip():
        missing = "Lirako Absent Face"
    korean = run(["fc-match", "-f", "%{family[0]}", ":lang=ko"], os.environ).strip()
    readers = []
    try:
        reader = Reader(args.lirako, missing, display, book, args.out, "missing")
        readers.append(reader)
        about = os.path.join(args.out, "about.png")
        reader.about_box(about)
        box, bands = quotation_bands(about, reader.env)
        left, top, right, bottom = box
        if len(bands) != QUOTATION_LINES or bands[0][0] <= top or bands[-1][1] >= bottom:
            raise Failure(f"the quotation box {box} shows the ink rows {bands}, not "
                          f"{QUOTATION_LINES} whole lines")
        shown_missing = os.path.join(args.out, "font_page_missing_face.png")
        reader.font_page(shown_missing)
        reader.quit()

        reader = Reader(args.lirako, korean, display, book, args.out, "korean")
        readers.append(reader)
        shown_korean = os.path.join(args.out, "font_page_korean_face.png")
        reader.font_page(shown_korean)
        reader.quit()
        if read_rgb(shown_missing, reader.env) != read_rgb(shown_korean, reader.env):
            raise Failure(f"with {missing!r} missing the font page differs from the one with "
                          f"{korean!r}, the face drawn in its place")
        print(f"dialogs_e2e: the quotation shows {len(bands)} whole lines; with {missing!r} "
              f"missing the font page shows {korean!r}")
        return 0
    except Failure as failure:
        print(f"dialogs_e2e: {failure}", file=sys.stderr)
        return 1
    finally:
        for reader in readers:
            reader.close()
        xvfb.kill()
        xvfb.wait()


if __name__ == "__main__":
    sys.exit(main())
