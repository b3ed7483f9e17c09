#!/usr/bin/env python3
"""Runs the reader on a 1920 x 1080 screen under Xvfb, as a new install would.

1. F11 shows the page full screen: the text stands in two blocks (two pages side by side),
   centred, each far narrower than half the screen.
2. Out of full screen in a window 600 pixels wide the text is one block.
3. The night key (Ctrl+Shift+N) turns the new install's dark page light, and pressed again
   dark as it was.

Screenshots are left in the output folder. Exit code 77 means Xvfb could not be started
(skipped).
"""

import argparse
import os
import shutil
import sys
import tempfile
import time

from x_session import (SKIP, Failure, Program, find_window, need, press_and_wait, reader_env,
                       run, screen_pixels, screenshot, start_xvfb, window_geometry)

SCREEN_W, SCREEN_H = 1920, 1080
# Columns of ink closer than this belong to one text block (word spaces are narrower).
BLOCK_GAP = 20
# The position bar at the page's left edge is no text.
BAR_ROOM = 3


def pixel(data, x, y):
    i = (y * SCREEN_W + x) * 3
    return tuple(data[i:i + 3])


def text_blocks(data, window):
    """The (left, right) screen columns of each run of columns inside `window` that hold a
    pixel other than the page's background (the colour of its bottom-right corner), below
    the menu bar."""
    wx, wy, ww, wh = window
    background = pixel(data, wx + ww - 1, wy + wh - 1)
    inked = []
    for x in range(wx + BAR_ROOM, wx + ww):
        inked.append(any(pixel(data, x, y) != background for y in range(wy + wh // 5, wy + wh)))
    blocks = []
    for i, ink in enumerate(inked):
        x = wx + BAR_ROOM + i
        if not ink:
            continue
        if blocks and x - blocks[-1][1] <= BLOCK_GAP:
            blocks[-1][1] = x
        else:
            blocks.append([x, x])
    return [tuple(b) for b in blocks]


def settled_blocks(wid, env, count, label, out, patience=60):
    """Screenshots until the window shows `count` text blocks twice alike (a resize paints
    more than once); the blocks seen last."""
    deadline = time.time() + patience
    seen = None
    while True:
        data = screen_pixels(env)
        window = window_geometry(wid, env)
        blocks = (window, text_blocks(data, window))
        if (blocks == seen and len(blocks[1]) == count) or time.time() > deadline:
            screenshot(os.path.join(out, f"{label}.png"), env)
            print(f"{label}: window {window}, text blocks {blocks[1]}")
            return blocks
        seen = blocks
        time.sleep(0.5)


def brightness(rgb):
    return (299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2]) // 1000


def page_after_night_key(wid, env, before, label, out, patience=20):
    """Presses the night key and waits until the page's background (its bottom-right corner)
    is no longer `before`; that colour."""
    run(["xdotool", "key", "--clearmodifiers", "ctrl+shift+n"], env)
    deadline = time.time() + patience
    while True:
        wx, wy, ww, wh = window_geometry(wid, env)
        colour = pixel(screen_pixels(env), wx + ww - 1, wy + wh - 1)
        if colour != before or time.time() > deadline:
            screenshot(os.path.join(out, f"{label}.png"), env)
            print(f"{label}: page background {colour}")
            return colour
        time.sleep(0.3)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lirako", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdpyinfo", "xdotool", "xwininfo", "import"):
        need(tool)
    xvfb, display = start_xvfb(SCREEN_W, SCREEN_H)
    if not xvfb:
        print("spread_e2e: Xvfb could not start", file=sys.stderr)
        return SKIP
    temp = tempfile.mkdtemp(prefix="lirako-spread-")
    reader = None
    try:
        prog_dir = os.path.join(temp, "program")
        os.makedirs(prog_dir)
        prog = os.path.join(prog_dir, "lirako")
        shutil.copy2(args.lirako, prog)
        book = os.path.join(prog_dir, "book.txt")
        shutil.copy2(os.path.join(args.samples, "byeolbit-utf8.txt"), book)
        env = reader_env(display, temp)
        os.makedirs(args.out, exist_ok=True)
        reader = Program(prog, [book], env, os.path.join(args.out, "spread.log"))
        wid = find_window("^book\\.txt — 리라코$", env, program=reader)
        run(["xdotool", "windowfocus", "--sync", wid], env)
        time.sleep(1)
        press_and_wait(env, "F11")
        window, blocks = settled_blocks(wid, env, 2, "spread-fullscreen", args.out)
        if window[2] != SCREEN_W or len(blocks) != 2:
            raise Failure(f"full screen shows {len(blocks)} text blocks in {window}, not two")
        left_margin = blocks[0][0] - window[0]
        right_margin = window[0] + window[2] - 1 - blocks[1][1]
        for left, right in blocks:
            if right - left + 1 > SCREEN_W // 3:
                raise Failure(f"a column {left}..{right} is wider than a third of the screen")
        # A paragraph's last line ends short of the right edge: allow a few characters.
        if abs(right_margin - left_margin) > 120 or left_margin < 200:
            raise Failure(f"the spread is not centred: margins {left_margin} and {right_margin}")

        press_and_wait(env, "F11")
        run(["xdotool", "windowsize", "--sync", wid, "600", "700"], env)
        window, blocks = settled_blocks(wid, env, 1, "spread-narrow", args.out)
        if window[2] != 600 or len(blocks) != 1:
            raise Failure(f"a window {window} shows {len(blocks)} text blocks, not one")

        wx, wy, ww, wh = window
        dark = pixel(screen_pixels(env), wx + ww - 1, wy + wh - 1)
        light = page_after_night_key(wid, env, dark, "night-key-light", args.out)
        if brightness(dark) >= 128 or brightness(light) < 128:
            raise Failure(f"the night key turned the page from {dark} to {light}, not light")
        again = page_after_night_key(wid, env, light, "night-key-dark", args.out)
        if again != dark:
            raise Failure(f"pressed again the night key shows {again}, not the page's {dark}")
        run(["xdotool", "key", "--clearmodifiers", "ctrl+q"], env)
        code = reader.wait()
        if code != 0:
            raise Failure(f"the reader exited with {code}")
        print("spread_e2e: passed")
        return 0
    except Failure as failure:
        print(f"spread_e2e: {failure}", file=sys.stderr)
        return 1
    finally:
        if reader:
            reader.kill()
        xvfb.kill()
        xvfb.wait()
        shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
