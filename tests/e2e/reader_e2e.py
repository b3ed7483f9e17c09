#!/usr/bin/env python3
"""Runs the real reader window under Xvfb and drives it with real key presses.

1. Portrait: the book is opened from the command line, Down is pressed twice, Ctrl+Q quits.
2. Landscape and full screen: SetParam.Dat with landscape and the application buttons on;
   the book is opened from the command line, Return switches to full screen, Right turns a
   page, F5 (button 5, "다음쪽" by default) another, and F4 (button 4, "리라코 종료") quits.
3. Reopening: the program started without arguments reopens the most recent book where it
   stopped; Right turns a page and Ctrl+Q quits.

After each run ResentFiles.Dat must hold the book first, at the position that
`lirakotool render` reaches on a page of the same size with the engine steps the reader
took (the opening page is one "next" from the saved position), and the
window's page must show the same pixels as that rendering. Screenshots of the whole screen
are left in the output folder. Exit code 77 means Xvfb could not be started (skipped).
"""

import argparse
import os
import shutil
import struct
import sys
import tempfile
import time

from x_session import (SKIP, WINDOW_TIMEOUT, Failure, Program, copy_program, find_window, need,
                       press_and_wait, read_rgb, reader_env, recent_places, run, screenshot,
                       start_xvfb, window_geometry)

SCREEN_W, SCREEN_H = 1024, 900
# The position bar's two colours (read part, unread part), drawn down the page's left edge.
BAR_COLOURS = {(190, 240, 190), (98, 98, 98)}
LANDSCAPE_OFFSET = 172
HARDWARE_BUTTONS_OFFSET = 252
FONT_SIZE_OFFSET = 152
# A new install sizes its text for the screen: about 10.5 points at Xvfb's 96 dots per inch.
NEW_INSTALL_FONT_SIZE = 14


def new_install_settings(tool, path, env):
    """Writes at `path` the settings a new install reads with on this screen."""
    run([tool, "settings", "--write-defaults", path], env)
    with open(path, "r+b") as f:
        f.seek(FONT_SIZE_OFFSET)
        f.write(struct.pack("<i", NEW_INSTALL_FONT_SIZE))
    return path


def pixel(data, width, x, y):
    i = (y * width + x) * 3
    return tuple(data[i:i + 3])


def page_rect(screen, window):
    """The page inside the window: the rows down its left edge that show the position bar."""
    wx, wy, ww, wh = window
    x = wx + 1
    bottom = wy + wh - 1
    if pixel(screen, SCREEN_W, x, bottom) not in BAR_COLOURS:
        raise Failure("the window's bottom-left pixel is not the position bar")
    top = bottom
    while top - 1 >= wy and pixel(screen, SCREEN_W, x, top - 1) in BAR_COLOURS:
        top -= 1
    return wx, top, ww, bottom - top + 1


def compare_page(screen, page, rendered_png, env):
    px, py, pw, ph = page
    rendered = read_rgb(rendered_png, pw, ph, env)
    differing = 0
    for y in range(ph):
        for x in range(pw):
            if pixel(screen, SCREEN_W, px + x, py + y) != pixel(rendered, pw, x, y):
                differing += 1
    return differing, pw * ph


def render(tool, book, size, steps, out, env, settings=None):
    # The reader keeps closing marks off line starts and sets lines of 36 characters, two
    # pages side by side where they fit, unless told otherwise; the tool does only when asked.
    cmd = [tool, "render", book, "--out", out, "--size", f"{size[0]},{size[1]}",
           "--kinsoku", "1", "--measure", "36", "--columns", "auto"]
    cmd += ["--settings", settings or new_install_settings(tool, out + ".Dat", env)]
    words = run(cmd + steps, env).split()
    return int(words[1])


def keys(wid, env, *names):
    """Presses each key once the screen shows the one before."""
    run(["xdotool", "windowfocus", "--sync", wid], env)
    for name in names:
        press_and_wait(env, name)


def wait_for_first_page(wid, env, out, label, timeout=WINDOW_TIMEOUT):
    """Waits until the window shows its first page (the position bar is drawn)."""
    shot = os.path.join(out, f"{label}-first.png")
    deadline = time.time() + timeout
    while True:
        screenshot(shot, env)
        try:
            page_rect(read_rgb(shot, SCREEN_W, SCREEN_H, env), window_geometry(wid, env))
            return
        except Failure:
            if time.time() > deadline:
                raise
        time.sleep(0.3)


def settled_page(tool, book, steps, settings, shot, rendered, wid, env, patience=60):
    """Screenshots until the window's page shows the renderer's page for `steps` (a busy
    machine may paint late): (window, page, position the renderer reached)."""
    deadline = time.time() + patience
    while True:
        screenshot(shot, env)
        window = window_geometry(wid, env)
        screen = read_rgb(shot, SCREEN_W, SCREEN_H, env)
        try:
            page = page_rect(screen, window)
            expected = render(tool, book, page[2:], steps, rendered, env, settings)
            differing, total = compare_page(screen, page, rendered, env)
        except Failure:
            if time.time() > deadline:
                raise
            time.sleep(0.5)
            continue
        if differing <= total // 100 or time.time() > deadline:
            return window, page, expected, differing, total
        time.sleep(0.5)


def session(tool, env, prog, book, out, label, steps_keys, steps, quit_key="ctrl+q",
            settings=None, reopen=False):
    # Reopening starts the program without arguments: the most recent book opens.
    reader = Program(prog, [] if reopen else [book], env, os.path.join(out, f"{label}.log"))
    try:
        # The sample names its chapters by title, and the title shows the one the page is in.
        wid = find_window("^book\\.txt( - .+)? — 리라코$", env, program=reader)
        wait_for_first_page(wid, env, out, label)
        keys(wid, env, *steps_keys)
        shot = os.path.join(out, f"{label}.png")
        rendered = os.path.join(out, f"{label}-render.png")
        window, page, expected, differing, total = settled_page(
            tool, book, steps, settings, shot, rendered, wid, env)
        run(["xdotool", "windowfocus", "--sync", wid], env)
        run(["xdotool", "key", "--clearmodifiers", quit_key], env)
        code = reader.wait()
    finally:
        reader.kill()
    if code != 0:
        raise Failure(f"{label}: the reader exited with {code}; its log:\n{reader.log_text()}")
    recent = recent_places(os.path.join(os.path.dirname(prog), "ResentFiles.Dat"))
    if not recent or recent[0][0] != book:
        raise Failure(f"{label}: ResentFiles.Dat holds {recent}, not {book} first")
    saved = recent[0][1]
    print(f"{label}: window {window}, page {page}, saved position {saved}, "
          f"renderer {expected}")
    if saved <= 0 or saved != expected:
        raise Failure(f"{label}: saved position {saved}, the renderer reached {expected}")
    print(f"{label}: {differing} of {total} page pixels differ from the renderer")
    if differing > total // 100:
        raise Failure(f"{label}: the window's page differs from the renderer in {differing} "
                      f"of {total} pixels")
    return saved


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lirako", required=True)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdpyinfo", "xdotool", "xwininfo", "import", "convert"):
        need(tool)

    xvfb, display = start_xvfb(SCREEN_W, SCREEN_H)
    if not xvfb:
        print("reader_e2e: Xvfb could not start", file=sys.stderr)
        return SKIP
    temp = tempfile.mkdtemp(prefix="lirako-e2e-")
    try:
        prog_dir = os.path.join(temp, "program")
        os.makedirs(prog_dir)
        prog = os.path.join(prog_dir, "lirako")
        copy_program(args.lirako, prog)
        sample = os.path.join(args.samples, "byeolbit.txt")
        if not os.path.exists(sample):
            sample = os.path.join(args.samples, "jindallae.txt")
        book = os.path.join(prog_dir, "book.txt")
        shutil.copy2(sample, book)
        env = reader_env(display, temp)
        os.makedirs(args.out, exist_ok=True)

        position = session(args.tool, env, prog, book, args.out, "portrait", ["Down", "Down"],
                           ["next", "next", "next"])

        # Landscape and application buttons from a settings file written by the tool, then
        # patched.
        settings = os.path.join(prog_dir, "SetParam.Dat")
        run([args.tool, "settings", "--write-defaults", settings], env)
        with open(settings, "r+b") as f:
            for offset in (LANDSCAPE_OFFSET, HARDWARE_BUTTONS_OFFSET):
                f.seek(offset)
                f.write(struct.pack("<i", 1))
        settings_copy = os.path.join(temp, "landscape.Dat")
        shutil.copy2(settings, settings_copy)
        position = session(args.tool, env, prog, book, args.out, "landscape-fullscreen",
                           ["Return", "Right", "F5"], [f"pos={position}", "next", "next", "next"],
                           quit_key="F4", settings=settings_copy)
        session(args.tool, env, prog, book, args.out, "reopen", ["Right"],
                [f"pos={position}", "next", "next"], settings=settings_copy, reopen=True)
        print("reader_e2e: passed")
        return 0
    except Failure as failure:
        print(f"reader_e2e: {failure}", file=sys.stderr)
        return 1
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
