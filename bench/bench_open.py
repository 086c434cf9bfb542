#!/usr/bin/env python3
"""Opening a 20 MB page, in the editor and in Geany, each started as a user
starts it (the program with the file on its command line) on the same X
display. Times run from the start of the process until its top-level window
is shown with the file's name in its title; the resident memory of the
process is read one second later. Two pages: 233k short lines, and long lines
(2,000 lines of 10 KB). Runs alternate between the two programs; each figure
is the median of five runs with the min-max, and the ratio is editor/Geany.
The editor's time includes its start-up splash, which stays at least 0.5 s
after the page has been opened, before the main window shows."""

import ctypes
import ctypes.util
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
# Run from build/bench (where the build puts it) or from the source tree.
BUILD = os.path.dirname(HERE)
if not os.path.isdir(os.path.join(BUILD, "app")):
    BUILD = os.path.join(BUILD, "build")
RUNS = 5
SPLASH_MS = 500  # the editor's splash stays at least this long


class X:
    def __init__(self, display):
        self.x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                      ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                      ctypes.POINTER(ctypes.c_uint)]
        self.x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.attrs = (ctypes.c_int * 64)()
        self.x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p]
        # A window can go between listing and asking for its name.
        self.handler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        self.x.XSetErrorHandler(self.handler)
        self.d = self.x.XOpenDisplay(display.encode())
        if not self.d:
            raise RuntimeError("cannot open display " + display)
        self.root = self.x.XDefaultRootWindow(self.d)

    def children(self, w):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, n = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.d, w, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(kids),
                                 ctypes.byref(n)):
            return []
        out = [kids[i] for i in range(n.value)]
        if kids:
            self.x.XFree(kids)
        return out

    def name(self, w):
        p = ctypes.c_char_p()
        if self.x.XFetchName(self.d, w, ctypes.byref(p)) and p.value is not None:
            v = p.value.decode("utf-8", "replace")
            return v
        return ""

    def viewable(self, w):
        # XWindowAttributes.map_state: the 22nd int-sized field on x86-64
        # (after x, y, width, height, border_width, depth, visual, root,
        # class, bit_gravity, win_gravity, backing_store, backing_planes,
        # backing_pixel, save_under, colormap, map_installed).
        class Attrs(ctypes.Structure):
            _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                        ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                        ("root", ctypes.c_ulong), ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                        ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                        ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                        ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                        ("map_state", ctypes.c_int), ("rest", ctypes.c_long * 8)]
        a = Attrs()
        if not self.x.XGetWindowAttributes(self.d, w, ctypes.byref(a)):
            return False
        return a.map_state == 2  # IsViewable

    def shown_with(self, text):
        for w in self.children(self.root):
            if text in self.name(w) and self.viewable(w):
                return True
        return False


def rss_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def run_once(x, argv, env, marker, cwd):
    t0 = time.perf_counter()
    p = subprocess.Popen(argv, env=env, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                         start_new_session=True)
    shown = None
    deadline = t0 + 60
    while time.perf_counter() < deadline and p.poll() is None:
        if x.shown_with(marker):
            shown = time.perf_counter() - t0
            break
        time.sleep(0.003)
    rss = 0.0
    if shown is not None:
        time.sleep(1.0)
        rss = rss_mb(p.pid)
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    p.wait()
    return shown, rss


def make_pages(folder):
    short = "<p class=\"x\">あいうえお <a href=\"page.html\">link</a> <b>bold</b> text</p>\r\n".encode("utf-8")
    pages = {}
    size = 20 * 1024 * 1024
    path = os.path.join(folder, "short_lines_page.html")
    with open(path, "wb") as f:
        f.write(b"<html><head><meta charset=\"utf-8\"></head><body>\r\n")
        f.write(short * (size // len(short)))
    pages["233k short lines"] = path
    long_line = (short.rstrip(b"\r\n") * (10240 // len(short) + 1))[:10240] + b"\r\n"
    path = os.path.join(folder, "long_lines_page.html")
    with open(path, "wb") as f:
        f.write(b"<html><head><meta charset=\"utf-8\"></head><body>\r\n")
        f.write(long_line * (size // len(long_line)))
    pages["long lines (2,000 x 10 KB)"] = path
    return pages


def span(v):
    return "%.0f (%.0f-%.0f)" % (statistics.median(v), min(v), max(v))


def main():
    quillet = os.path.join(BUILD, "app", "Quillet")
    geany = shutil.which("geany")
    if not os.path.exists(quillet):
        print("bench_open: %s is missing" % quillet)
        return 1
    if not geany or not shutil.which("Xvfb"):
        print("bench_open: geany or Xvfb is not installed; nothing compared")
        return 0
    work = tempfile.mkdtemp(prefix="tw-bench-open-")
    display = ":%d" % (70 + os.getpid() % 20)
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1600x1000x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        x = None
        for _ in range(200):
            try:
                x = X(display)
                break
            except RuntimeError:
                time.sleep(0.05)
        if x is None:
            print("bench_open: Xvfb did not start")
            return 1
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env["DISPLAY"] = display
        env["HOME"] = os.path.join(work, "home")
        env["XDG_RUNTIME_DIR"] = os.path.join(work, "run")
        os.makedirs(env["HOME"])
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        # The editor from a copy of its application folder, so its settings
        # start as on a first start every run.
        app = os.path.join(work, "app")
        pages = make_pages(work)
        print("open a 20 MB page to a shown window (ms) and process memory after it (MB), "
              "median of %d runs (min-max), interleaved with Geany %s:" % (RUNS, subprocess.run(
                  [geany, "--version"], capture_output=True, text=True).stdout.split()[1:2][0]
                  if True else ""))
        for label, page in pages.items():
            name = os.path.basename(page)
            ours_t, ours_m, ref_t, ref_m = [], [], [], []
            for run in range(RUNS):
                shutil.rmtree(app, ignore_errors=True)
                shutil.copytree(os.path.join(BUILD, "app"), app, symlinks=True)
                t, m = run_once(x, [os.path.join(app, "Quillet"), page], env, name, work)
                if t is not None:
                    ours_t.append(t * 1000)
                    ours_m.append(m)
                conf = os.path.join(work, "geany-conf-%d" % run)
                t, m = run_once(x, [geany, "-c", conf, "-i", page], env, name, work)
                if t is not None:
                    ref_t.append(t * 1000)
                    ref_m.append(m)
            if not ours_t or not ref_t:
                print("  %s: a window never showed (editor %d runs, Geany %d runs)" % (label, len(ours_t),
                                                                                      len(ref_t)))
                continue
            print("  %s: editor %s ms, Geany %s ms, ratio %.2f (target <= 1.0); memory editor %s MB, Geany %s MB, "
                  "ratio %.2f (target <= 1.5)" % (label, span(ours_t), span(ref_t),
                                                  statistics.median(ours_t) / statistics.median(ref_t),
                                                  span(ours_m), span(ref_m),
                                                  statistics.median(ours_m) / statistics.median(ref_m)))
            # The splash's wait is fixed; without it, what opening itself costs.
            loading = [t - SPLASH_MS for t in ours_t]
            print("    without the splash's %d ms wait: editor %s ms, ratio %.2f" % (
                SPLASH_MS, span(loading), statistics.median(loading) / statistics.median(ref_t)))
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
