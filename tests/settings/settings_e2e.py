#!/usr/bin/env python3
"""Runs the real reader under Xvfb and drives its settings sheet with the mouse.

SetParam.Dat assigns "설정" to application button 1 (F1) and "리라코 종료" to button 4 (F4).
F1 opens the sheet; on the "화면" tab the left-right margin is typed as 9, the refresh period
as 1399 and stepped twice by the up arrow, which must show "1,401"; "확인" must save
SetParam.Dat at once with the margin 9 and the period 1401. A second sheet typed with the
margin 12 and closed with "취소" must leave SetParam.Dat untouched. F4 then quits.

Exit code 77 means Xvfb or xdotool is missing (the test is skipped).
"""

import argparse
import os
import shutil
import struct
import sys
import tempfile
import time

# The helpers shared by the end-to-end runs live beside the reader's run.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from x_session import (SKIP, Failure, Program, copy_program, find_window, run,  # noqa: E402
                       start_xvfb)

SCREEN_W, SCREEN_H = 1024, 900
MARGIN_X_OFFSET = 136
REFRESH_OFFSET = 340


def settings_file():
    """SetParam.Dat with the defaults, the application buttons on, button 1 "설정"."""
    def string(text):
        return struct.pack("<i", len(text) + 1) + (text + "\0").encode("utf-16-le")
    face = "Tahoma".encode("utf-16-le").ljust(64, b"\0")
    fields = (struct.pack("<I", 0) + struct.pack("<6i", 6, 5, 1, 2, 15, 0) +
              struct.pack("<2I", 0xFFFFFF, 0) + struct.pack("<5i", 0, 0, 3, 1, 1) + face +
              struct.pack("<i", 1) + struct.pack("<20i", 10, 12, 0, 13, 2, *([0] * 15)) +
              struct.pack("<4i", 0, 1600, 0, 0))
    lists = struct.pack("<i", 2) + string(".txt") + string(".cap") + struct.pack("<2i", 0, 0)
    return b"default".ljust(128, b"\0") + struct.pack("<i", 538) + fields + lists


def saved(path):
    data = open(path, "rb").read()
    margin = struct.unpack_from("<i", data, MARGIN_X_OFFSET)[0]
    period = struct.unpack_from("<i", data, REFRESH_OFFSET)[0]
    return margin, period


def windows(pid, env):
    """The visible windows of `pid`: id -> (x, y, width, height)."""
    found = {}
    out = run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], env, check=False)
    for wid in out.split():
        geometry = run(["xdotool", "getwindowgeometry", "--shell", wid], env, check=False)
        values = dict(line.split("=") for line in geometry.split() if "=" in line)
        if "WIDTH" in values:
            found[wid] = tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
    return found


def wait_for(condition, what, timeout=60):
    deadline = time.time() + timeout
    while time.time() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.2)
    raise Failure(f"timed out waiting for {what}")


def click(env, x, y):
    run(["xdotool", "mousemove", str(x), str(y), "click", "1"], env)
    time.sleep(0.3)


def type_into(env, x, y, text):
    click(env, x, y)
    run(["xdotool", "key", "ctrl+a"], env)
    run(["xdotool", "type", text], env)
    time.sleep(0.3)


def press(env, wid, key):
    run(["xdotool", "windowfocus", "--sync", wid], env)
    run(["xdotool", "key", "--clearmodifiers", key], env)
    time.sleep(0.5)


def open_sheet(pid, main, env):
    press(env, main, "F1")
    sheets = wait_for(lambda: {w: g for w, g in windows(pid, env).items() if w != main},
                      "the settings sheet")
    return next(iter(sheets.values()))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lirako", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "import"):
        if not shutil.which(tool):
            print(f"settings_e2e: {tool} is missing", file=sys.stderr)
            return SKIP
    os.makedirs(args.out, exist_ok=True)
    xvfb, display = start_xvfb(SCREEN_W, SCREEN_H)
    if xvfb is None:
        print("settings_e2e: Xvfb did not start", file=sys.stderr)
        return SKIP
    folder = tempfile.mkdtemp(prefix="lirako-settings-e2e-")
    reader = None
    try:
        prog = os.path.join(folder, "lirako")
        copy_program(args.lirako, prog)
        params = os.path.join(folder, "SetParam.Dat")
        with open(params, "wb") as f:
            f.write(settings_file())
        book = os.path.join(folder, "book.txt")
        with open(book, "w") as f:
            f.write("".join(f"line {i} of the book\n" for i in range(300)))
        env = dict(os.environ, DISPLAY=display, HOME=folder, XDG_CONFIG_HOME=folder,
                   XDG_DATA_HOME=folder, LIRAKO_REGISTRY=os.path.join(folder, "registry"),
                   QT_QPA_PLATFORM="xcb")
        env.pop("LIRAKO_NO_CP949", None)
        reader = Program(prog, [book], env, os.path.join(args.out, "settings_e2e.log"))
        main_window = find_window("^book\\.txt — 리라코$", env, program=reader)
        time.sleep(1.0)

        # OK: typed and arrowed values are saved at once.
        x, y, w, h = open_sheet(reader.pid, main_window, env)
        type_into(env, x + 92, y + 87, "9")      # "좌우", edit 1000
        type_into(env, x + 168, y + 158, "1399")  # the period, edit 1004
        click(env, x + 208, y + 153)              # its up arrow, twice
        click(env, x + 208, y + 153)
        run(["import", "-window", "root", os.path.join(args.out, "settings_ok.png")], env)
        click(env, x + w - 137, y + h - 23)           # "확인"
        wait_for(lambda: len(windows(reader.pid, env)) == 1, "the sheet to close")
        if saved(params) != (9, 1401):
            raise Failure(f"after OK SetParam.Dat holds margin and period {saved(params)}")
        stamp = os.stat(params).st_mtime_ns

        # Cancel: nothing is saved.
        x, y, w, h = open_sheet(reader.pid, main_window, env)
        type_into(env, x + 92, y + 87, "12")
        run(["import", "-window", "root", os.path.join(args.out, "settings_cancel.png")], env)
        click(env, x + w - 52, y + h - 23)            # "취소"
        wait_for(lambda: len(windows(reader.pid, env)) == 1, "the sheet to close")
        if os.stat(params).st_mtime_ns != stamp or saved(params) != (9, 1401):
            raise Failure("Cancel wrote SetParam.Dat")

        press(env, main_window, "F4")  # "리라코 종료"
        code = reader.wait()
        if code != 0:
            raise Failure(f"the reader exited with {code}")
        if saved(params) != (9, 1401):
            raise Failure(f"at exit SetParam.Dat holds {saved(params)}")
        print("settings_e2e: OK saved 9 and 1401 at once; Cancel saved nothing")
        return 0
    except Failure as failure:
        print(f"settings_e2e: {failure}", file=sys.stderr)
        return 1
    finally:
        if reader is not None:
            reader.kill()
        xvfb.kill()
        xvfb.wait()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
