"""What bench/startup and bench/screen share: a private Xvfb, the reader started in it with a
private home and program folder, its window found and its pixels read through python3-xlib."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    from Xlib import X, XK, display as xdisplay, error as xerror
    from Xlib.ext import xtest
except ImportError:
    X = None

SCREEN_W, SCREEN_H = 1280, 1024
TITLE_SUFFIX = " — 리라코"


def need_xlib(program):
    if X is None:
        print(f"{program}: python3-xlib is missing", file=sys.stderr)
        sys.exit(1)
    if not shutil.which("Xvfb"):
        print(f"{program}: Xvfb is missing", file=sys.stderr)
        sys.exit(1)


def start_xvfb(width=SCREEN_W, height=SCREEN_H):
    """Xvfb on the first free display from :170 with a screen of width x height pixels;
    (process, ":N")."""
    for n in range(170, 240):
        if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
            continue
        proc = subprocess.Popen(
            ["Xvfb", f":{n}", "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 10
        while time.time() < deadline and proc.poll() is None:
            try:
                xdisplay.Display(f":{n}").close()
                # Another server that took the display first answers too; ours has exited.
                if proc.poll() is None:
                    return proc, f":{n}"
            except Exception:
                time.sleep(0.05)
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    raise RuntimeError("no display for Xvfb")


def ensure_book(writer, folder, size, seed, encoding="cp949"):
    """The book of `size` bytes that engine_bench also uses, in code page 949 ("cp949") or
    UTF-8 ("utf8", the same text as the code page 949 book of that seed)."""
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, f"{encoding}-{size}.txt")
    subprocess.run([writer, path, str(size), encoding, str(seed)], check=True)
    return path


class Session:
    """A private X display and program folder for runs of the reader."""

    def __init__(self, lirako, screen=(SCREEN_W, SCREEN_H)):
        self.xvfb, self.display_name = start_xvfb(*screen)
        self.temp = tempfile.mkdtemp(prefix="lirako-bench-")
        program_dir = os.path.join(self.temp, "program")
        os.makedirs(program_dir)
        self.program = os.path.join(program_dir, "lirako")
        shutil.copy2(lirako, self.program)
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": self.display_name,
            "HOME": os.path.join(self.temp, "home"),
            "XDG_CONFIG_HOME": os.path.join(self.temp, "config"),
            "XDG_DATA_HOME": os.path.join(self.temp, "data"),
            "XDG_RUNTIME_DIR": self.temp,
            "LIRAKO_REGISTRY": os.path.join(self.temp, "registry"),
            "QT_QPA_PLATFORM": "xcb",
            "LC_ALL": "C.UTF-8",
        })
        os.makedirs(self.env["HOME"])
        self.display = xdisplay.Display(self.display_name)

    def close(self):
        self.display.close()
        self.xvfb.terminate()
        self.xvfb.wait()
        shutil.rmtree(self.temp, ignore_errors=True)

    def start(self, book):
        return subprocess.Popen([self.program, book], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def stop(self, proc):
        proc.terminate()
        try:
            proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()

    def find_window(self, name):
        """The mapped top-level window titled `name`, or None."""
        net_name = self.display.intern_atom("_NET_WM_NAME")
        utf8 = self.display.intern_atom("UTF8_STRING")
        try:
            for w in self.display.screen().root.query_tree().children:
                prop = w.get_full_property(net_name, utf8)
                if prop and prop.value.decode("utf-8", "replace") == name:
                    if w.get_attributes().map_state == X.IsViewable:
                        return w
        except xerror.XError:
            return None
        return None

    def band(self, window):
        """Pixels of a band across the page's first lines: rows 10% to 10% + 24 of the window."""
        g = window.get_geometry()
        top = g.height // 10
        return window.get_image(0, top, g.width, min(24, g.height - top), X.ZPixmap,
                                0xFFFFFFFF).data

    def wait_for_page(self, name, deadline):
        """Waits until the window shows text (the band is not one colour); the window."""
        while time.perf_counter() < deadline:
            w = self.find_window(name)
            if w is not None:
                try:
                    data = self.band(w)
                    if len(set(data[i:i + 4] for i in range(0, len(data), 4))) > 1:
                        return w
                except xerror.XError:
                    pass
            time.sleep(0.0005)
        raise RuntimeError(f"no page of {name!r} appeared")

    def press(self, keysym_name, window):
        code = self.display.keysym_to_keycode(XK.string_to_keysym(keysym_name))
        window.set_input_focus(X.RevertToParent, X.CurrentTime)
        xtest.fake_input(self.display, X.KeyPress, code)
        self.display.sync()
        return code

    def release(self, code):
        xtest.fake_input(self.display, X.KeyRelease, code)
        self.display.sync()


def screen_width(session):
    """The width of the session's screen in pixels."""
    return session.display.screen().width_in_pixels


def median(values):
    s = sorted(values)
    n = len(s)
    return s[n // 2] if n % 2 else (s[n // 2 - 1] + s[n // 2]) / 2


def percentile(values, p):
    s = sorted(values)
    return s[min(len(s) - 1, int(round(p / 100 * (len(s) - 1))))]
