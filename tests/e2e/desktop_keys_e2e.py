#!/usr/bin/env python3
"""Drives the real reader window under Xvfb with the keys a desktop user expects.

1. Page Down, then End, each in its own run: ResentFiles.Dat holds
   the position `lirakotool render` reaches with the same engine steps, and the window's page
   shows the renderer's pixels (the checks of reader_e2e).
2. One run, reopening the book on its last page: F11 makes the window cover the screen and
   Escape gives its rectangle back; Home (else the search would start on the last page), Ctrl+F with a chapter-heading text and "다음 찾기" (Tab, Space) finds the first
   heading, Escape leaves the bar, F3 and Shift+F3 find the second and third; Ctrl with the
   wheel turned away makes the font one pixel larger. After Ctrl+Q, ResentFiles.Dat holds the
   third heading's line and SetParam.Dat the larger font.

Exit code 77 means a tool is missing or Xvfb could not be started (skipped).
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

from bars_e2e import type_text, wait_for_blink
from reader_e2e import NEW_INSTALL_FONT_SIZE, SCREEN_H, SCREEN_W, session, window_geometry
from x_session import (SKIP, Failure, Program, copy_program, find_window, map_keysyms, need,
                       reader_env, recent_places, run, screenshot, start_xvfb,
                       wait_for_window_count)


# Every chapter heading of the sample book holds this text, at the start of its line.
HEADING = "째 이야기"
# A new install's size on Xvfb's 96 dots per inch.
DEFAULT_FONT_SIZE = NEW_INSTALL_FONT_SIZE


def press(wid, env, *names):
    run(["xdotool", "windowfocus", "--sync", wid], env)
    for name in names:
        run(["xdotool", "key", "--clearmodifiers", name], env)
        time.sleep(0.5)


def heading_line(data, n):
    """Offset of the line holding the n-th (1-based) heading."""
    target = HEADING.encode("cp949")
    at = -1
    for _ in range(n):
        at = data.find(target, at + 1)
        if at < 0:
            raise Failure(f"the sample holds fewer than {n} headings")
    return data.rfind(b"\n", 0, at) + 1


def font_size(tool, settings, env):
    return json.loads(run([tool, "settings", settings], env))["fontSize"]


def search_and_zoom(args, env, prog, book):
    with open(book, "rb") as f:
        data = f.read()
    expected = heading_line(data, 3)
    map_keysyms(env, HEADING)
    reader = Program(prog, [book], env, os.path.join(args.out, "desktop-keys.log"))
    try:
        # The sample names its chapters by title, and the title shows the one the page is in.
        wid = find_window("^book\\.txt( - .+)? — 리라코$", env, program=reader)
        time.sleep(1.0)
        windowed = window_geometry(wid, env)
        press(wid, env, "F11")
        time.sleep(0.5)
        full = window_geometry(wid, env)
        if full[2:] != (SCREEN_W, SCREEN_H):
            raise Failure(f"after F11 the window is {full}, not the {SCREEN_W}x{SCREEN_H} screen")
        press(wid, env, "Escape")
        time.sleep(0.5)
        if window_geometry(wid, env) != windowed:
            raise Failure(f"after Escape the window is {window_geometry(wid, env)}, not {windowed}")

        press(wid, env, "Home", "ctrl+f")
        bar = wait_for_window_count(reader, 2, env)[-1]
        run(["xdotool", "windowfocus", "--sync", bar], env)
        wait_for_blink(env)
        type_text(env, HEADING, bar)
        run(["xdotool", "key", "--clearmodifiers", "Tab", "space"], env)
        time.sleep(0.5)
        run(["xdotool", "key", "--clearmodifiers", "Escape"], env)
        time.sleep(0.5)
        press(wid, env, "F3", "shift+F3")
        run(["xdotool", "keydown", "ctrl", "click", "4", "keyup", "ctrl"], env)
        time.sleep(0.5)
        screenshot(os.path.join(args.out, "desktop-keys.png"), env)
        press(wid, env, "ctrl+q")
        code = reader.wait(timeout=20)
    finally:
        reader.kill()
    if code != 0:
        raise Failure(f"the reader exited with {code}")
    recent = recent_places(os.path.join(os.path.dirname(prog), "ResentFiles.Dat"))
    size = font_size(args.tool, os.path.join(os.path.dirname(prog), "SetParam.Dat"), env)
    print(f"desktop_keys_e2e: third heading at {expected}, saved {recent[0]}, font {size}")
    if recent[0] != (book, expected):
        raise Failure(f"saved {recent[0]}, expected the third heading's line at {expected}")
    if size != DEFAULT_FONT_SIZE + 1:
        raise Failure(f"SetParam.Dat keeps font size {size}, not {DEFAULT_FONT_SIZE + 1}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lirako", required=True)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdpyinfo", "xdotool", "xmodmap", "xwininfo", "import", "convert"):
        need(tool)
    xvfb, display = start_xvfb(SCREEN_W, SCREEN_H, range(240, 300))
    if not xvfb:
        print("desktop_keys_e2e: Xvfb could not start", file=sys.stderr)
        return SKIP
    temp = tempfile.mkdtemp(prefix="lirako-keys-")
    try:
        prog_dir = os.path.join(temp, "program")
        os.makedirs(prog_dir)
        prog = os.path.join(prog_dir, "lirako")
        copy_program(args.lirako, prog)
        book = os.path.join(prog_dir, "book.txt")
        shutil.copy2(os.path.join(args.samples, "byeolbit.txt"), book)
        env = reader_env(display, temp)
        os.makedirs(args.out, exist_ok=True)

        # One key per run: two inputs before one paint make one step (the last one wins),
        # and a busy machine may paint late.
        session(args.tool, env, prog, book, args.out, "page-down", ["Next"], ["next", "next"])
        session(args.tool, env, prog, book, args.out, "end", ["End"], ["end", "prev"])
        search_and_zoom(args, env, prog, book)
        print("desktop_keys_e2e: passed")
        return 0
    except (Failure, subprocess.TimeoutExpired) as failure:
        print(f"desktop_keys_e2e: {failure}", file=sys.stderr)
        return 1
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
