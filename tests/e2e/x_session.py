"""What the end-to-end runs share: a private X server, commands run in it, its windows, the
reader's environment there and the recent-file list it leaves.

Everything here waits as long as a loaded machine needs: a run must never fail for the
harness's sake, only for the program's.
"""

import os
import select
import struct
import shutil
import subprocess
import sys
import time

# The exit code that tells CTest the run was skipped.
SKIP = 77

# How long a program may take to show its window on a busy machine.
WINDOW_TIMEOUT = 120
# How long Xvfb may take to report its display.
XVFB_TIMEOUT = 60
XVFB_ATTEMPTS = 3
# An X client that cannot connect (the server is busy) is started again this many times.
CONNECT_ATTEMPTS = 6
# What the toolkit says when it cannot reach the server.
CONNECT_FAILED = "could not connect to display"
REFUSED = ("can't open display", "cannot open display", "unable to open display",
           "connection refused", "maximum number of clients")


class Failure(Exception):
    pass


def copy_program(lirako, prog):
    """Copies the reader to `prog` as a copy in its build tree (beside a CMakeCache.txt), which
    keeps its data files beside itself."""
    shutil.copy2(lirako, prog)
    open(os.path.join(os.path.dirname(prog), "CMakeCache.txt"), "w").close()


def need(tool):
    """The path of `tool`; skips the whole run when it is missing."""
    path = shutil.which(tool)
    if not path:
        print(f"{os.path.basename(sys.argv[0])}: {tool} is missing", file=sys.stderr)
        sys.exit(SKIP)
    return path


def _read_display(fd, timeout):
    """The display number Xvfb writes to `fd` once it accepts clients, or None."""
    text = b""
    deadline = time.time() + timeout
    while not text.endswith(b"\n"):
        left = deadline - time.time()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            return None
        chunk = os.read(fd, 16)
        if not chunk:
            return None
        text += chunk
    return text.decode().strip() or None


def start_xvfb(width, height, displays=None):
    """Starts Xvfb on a display number it chooses itself (-displayfd), so that parallel runs
    never collide; (process, ":N") or (None, None). `displays` is not used any more."""
    del displays
    for _ in range(XVFB_ATTEMPTS):
        read_end, write_end = os.pipe()
        proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            number = _read_display(read_end, XVFB_TIMEOUT)
        finally:
            os.close(read_end)
        if number is not None and proc.poll() is None:
            return proc, f":{number}"
        if proc.poll() is None:
            proc.kill()
        proc.wait()
    return None, None


def reader_env(display, temp):
    """The environment of a reader run on `display`, with its home, configuration, data and
    registry in the folder `temp` (the home folder made) and code page 949 available."""
    env = dict(os.environ)
    env.update({
        "DISPLAY": display,
        "HOME": os.path.join(temp, "home"),
        "XDG_CONFIG_HOME": os.path.join(temp, "config"),
        "XDG_DATA_HOME": os.path.join(temp, "data"),
        "XDG_RUNTIME_DIR": temp,
        "LIRAKO_REGISTRY": os.path.join(temp, "registry"),
        "QT_QPA_PLATFORM": "xcb",
        "LC_ALL": "C.UTF-8",
    })
    env.pop("LIRAKO_NO_CP949", None)
    os.makedirs(env["HOME"])
    return env


# ResentFiles.Dat: a 132-byte header, the entry count, then the entries.
RECENT_COUNT_OFFSET = 132
RECENT_ENTRIES_OFFSET = 136


def read_recent(path):
    """Entries of ResentFiles.Dat as (path, position, [(name, position)]); [] when there is no
    file."""
    if not os.path.exists(path):
        return []
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < RECENT_ENTRIES_OFFSET:
        raise Failure(f"{path} is {len(data)} bytes long")

    def string(offset):
        units = struct.unpack_from("<i", data, offset)[0]
        text = data[offset + 4:offset + 4 + 2 * units].decode("utf-16-le").rstrip("\0")
        return text, offset + 4 + 2 * units

    count = struct.unpack_from("<i", data, RECENT_COUNT_OFFSET)[0]
    offset = RECENT_ENTRIES_OFFSET
    entries = []
    for _ in range(count):
        path_text, offset = string(offset)
        position, bookmark_count = struct.unpack_from("<ii", data, offset)
        offset += 8
        bookmarks = []
        for _ in range(bookmark_count):
            name, offset = string(offset)
            bookmarks.append((name, struct.unpack_from("<i", data, offset)[0]))
            offset += 4
        entries.append((path_text, position, bookmarks))
    return entries


def recent_places(path):
    """Entries of ResentFiles.Dat as (path, position) pairs; [] when there is no file."""
    return [(book, position) for book, position, _ in read_recent(path)]


def run(cmd, env, check=True, timeout=60):
    """Runs an X client (or any command); a refused connection is tried again."""
    for attempt in range(CONNECT_ATTEMPTS):
        result = subprocess.run(cmd, env=env, capture_output=True, text=True, timeout=timeout)
        refused = any(marker in result.stderr.lower() for marker in REFUSED)
        if result.returncode == 0 or not refused or attempt + 1 == CONNECT_ATTEMPTS:
            break
        time.sleep(0.5 * (attempt + 1))
    if check and result.returncode != 0:
        raise Failure(f"{' '.join(cmd)} failed ({result.returncode}): {result.stderr.strip()}")
    return result.stdout


class Program:
    """One run of a program under test, its output in a log file."""

    def __init__(self, program, args, env, log):
        self.command = [program] + args
        self.env = env
        self.log_path = log
        self.log = open(log, "w")
        self.proc = subprocess.Popen(self.command, env=env, stdout=self.log,
                                     stderr=subprocess.STDOUT)

    def restart(self):
        """Starts the program again after it ended; its log goes on in the same file."""
        self.log.close()
        self.log = open(self.log_path, "a")
        self.proc = subprocess.Popen(self.command, env=self.env, stdout=self.log,
                                     stderr=subprocess.STDOUT)

    @property
    def pid(self):
        return self.proc.pid

    def log_text(self):
        self.log.flush()
        with open(self.log_path, errors="replace") as f:
            return f.read()

    def wait(self, timeout=60):
        """The exit code; the log is closed."""
        try:
            return self.proc.wait(timeout=timeout)
        finally:
            self.log.close()

    def poll(self):
        return self.proc.poll()

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.log.close()


def restart_refused(program, restarts, what):
    """Once `program` ended while `what` was awaited: starts it again when the server refused
    its connection (a busy server may) and fewer than CONNECT_ATTEMPTS starts were made, and
    returns the restarts made so far; else raises Failure with its log."""
    if CONNECT_FAILED in program.log_text() and restarts + 1 < CONNECT_ATTEMPTS:
        restarts += 1
        time.sleep(0.5 * restarts)
        program.restart()
        return restarts
    raise Failure(f"the program ended ({program.poll()}) before {what} appeared; its log:\n"
                  f"{program.log_text()}")


def find_window(name, env, timeout=WINDOW_TIMEOUT, program=None):
    """The id of the newest visible window whose name matches `name`. When `program` is
    given, its end stops the wait, and its log is part of the failure."""
    deadline = time.time() + timeout
    restarts = 0
    while time.time() < deadline:
        ids = run(["xdotool", "search", "--onlyvisible", "--name", name], env,
                  check=False).split()
        if ids:
            return ids[-1]
        if program is not None and program.poll() is not None:
            restarts = restart_refused(program, restarts, f"a window named {name!r}")
            continue
        time.sleep(0.2)
    log = f"; its log:\n{program.log_text()}" if program is not None else ""
    raise Failure(f"no window named {name!r} appeared in {timeout} s{log}")


def screenshot(path, env):
    run(["import", "-window", "root", path], env)


def screen_pixels(env):
    """The whole screen as raw bytes, 3 per pixel."""
    for attempt in range(CONNECT_ATTEMPTS):
        result = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], env=env,
                                capture_output=True, timeout=60)
        if result.returncode == 0:
            return result.stdout
        time.sleep(0.5 * (attempt + 1))
    raise Failure(f"the screen could not be read: {result.stderr.decode(errors='replace')}")


def press_and_wait(env, key, timeout=WINDOW_TIMEOUT):
    """Presses `key` and waits until the screen shows its effect. The program takes the next
    input only after it painted this one: two page turns before one paint move one page, and
    a key sent before a window is up goes to the window that has the focus then."""
    before = screen_pixels(env)
    run(["xdotool", "key", "--clearmodifiers", key], env)
    deadline = time.time() + timeout
    while screen_pixels(env) == before:
        if time.time() > deadline:
            raise Failure(f"the screen did not change after {key} in {timeout} s")
        time.sleep(0.2)


def map_keysyms(env, text):
    """Gives every character of `text` beyond ASCII a key of its own in the server's keymap,
    to be done before the program starts. Otherwise xdotool maps each such character on a
    spare key just while it types it, and a busy program that reads the keymap change late
    gets nothing."""
    free = [int(line.split()[1]) for line in run(["xmodmap", "-pke"], env).splitlines()
            if line.split("=")[-1].strip() == "" and int(line.split()[1]) >= 100]
    needed = sorted({ch for ch in text if ord(ch) > 0x7E})
    if len(needed) > len(free):
        raise Failure(f"the keymap has {len(free)} free keys, {len(needed)} are needed")
    command = ["xmodmap"]
    for keycode, ch in zip(reversed(free), needed):
        command += ["-e", f"keycode {keycode} = U{ord(ch):04X} U{ord(ch):04X}"]
    run(command, env)


def visible_windows(pid, env):
    """The ids of the visible windows of process `pid`."""
    return run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], env,
               check=False).split()


def wait_for_window_count(program, count, env, timeout=WINDOW_TIMEOUT):
    """Waits until `program` shows `count` visible windows; their ids, newest last."""
    deadline = time.time() + timeout
    while True:
        ids = visible_windows(program.pid, env)
        if len(ids) == count:
            return ids
        if program.poll() is not None or time.time() > deadline:
            raise Failure(f"the program shows {len(ids)} windows, not {count}; its log:\n"
                          f"{program.log_text()}")
        time.sleep(0.2)


def window_geometry(wid, env):
    """(x, y, width, height) of window `wid` on the screen."""
    out = run(["xwininfo", "-id", wid], env)
    values = {}
    for line in out.splitlines():
        line = line.strip()
        for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
            if line.startswith(key + ":"):
                values[key] = int(line.split(":")[1])
    return (values["Absolute upper-left X"], values["Absolute upper-left Y"], values["Width"],
            values["Height"])


def read_rgb(png, width, height, env):
    """The pixels of a PNG as bytes, 3 per pixel."""
    data = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], env=env,
                          capture_output=True, timeout=60, check=True).stdout
    if len(data) != width * height * 3:
        raise Failure(f"{png}: expected {width}x{height} pixels, got {len(data) // 3}")
    return data
