#!/usr/bin/env python3
"""Times the level-set opening view (Form1) against XaoS on the same view.

    bench/xaos_compare.py build/tools/quillon-render [runs] [--size WxH]

XaoS (Debian package xaos) renders the same view at the same size (default
1024 x 768), 200 iterations,
bailout 10000, brute force (incoloring 1, range 0, no periodicity check) with
two threads; quillon-render computes the Form1 picture on every core and
writes the raw buffer, or with --size a PNG like XaoS. The two programs run alternately, `runs` times each
(default 9), so both see the same load; the medians of the wall-clock times
of the whole processes and their ratio are printed. Both times include the
process start-up; XaoS's also includes writing a PNG (about 0.05 s here).
"""

import argparse
import os
import pathlib
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

XAF = """(initstate)
(formula 'mandel)
(maxiter 200)
(bailout 10000)
(periodicity #f)
(outcoloring 0)
(incoloring 1)
(range 0)
(view -0.7645842838 -0.09544914655 0.0052336108 0.0098979171)
"""


def timed(cmd, env, cwd):
    start = time.perf_counter()
    subprocess.run(cmd, env=env, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(usage=__doc__)
    parser.add_argument("render")
    parser.add_argument("runs", nargs="?", type=int, default=9)
    parser.add_argument("--size", default=None, help="WxH; both programs then write a PNG")
    args = parser.parse_args()
    render = os.path.abspath(args.render)
    runs = args.runs
    width, height = (int(v) for v in (args.size or "1024x768").split("x"))
    xaos = shutil.which("xaos")
    if not xaos:
        sys.exit("xaos is not installed (apt-get install xaos)")
    with tempfile.TemporaryDirectory() as tmp:
        work = pathlib.Path(tmp)
        (work / "form1.xaf").write_text(XAF)
        conf = work / "config" / "XaoS Project"
        conf.mkdir(parents=True)
        # XaoS ignores its -threads option; the thread count comes from here.
        (conf / "XaoS.conf").write_text("[MainWindow]\nthreadCount=2\n")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=str(work / "config"))
        # The pixel sizes make XaoS stretch the view over the picture as
        # Quillon does; the picture's physical size stays at any pixel count.
        xaos_cmd = [xaos, "-render", "form1.xaf", "-size", f"{width}x{height}", "-basename", "out",
                    "-pixelwidth", f"{0.0511095 * 1024 / width:.9g}",
                    "-pixelheight", f"{0.128879 * 768 / height:.9g}"]
        ours_cmd = [render, "--view", "Form1", "--threads", "2", "--raw", str(work / "form1.raw")]
        if args.size:
            ours_cmd = [render, "--view", "Form1", "--threads", "2", "--size", args.size,
                        "--png", str(work / "form1.png")]
        theirs, ours = [], []
        for _ in range(runs):
            theirs.append(timed(xaos_cmd, env, work))
            ours.append(timed(ours_cmd, env, work))
    t, o = statistics.median(theirs), statistics.median(ours)
    print(f"XaoS            median {t:.3f} s  (runs: {' '.join(f'{x:.3f}' for x in theirs)})")
    print(f"quillon-render  median {o:.3f} s  (runs: {' '.join(f'{x:.3f}' for x in ours)})")
    print(f"ratio quillon-render / XaoS = {o / t:.2f}")


if __name__ == "__main__":
    main()
