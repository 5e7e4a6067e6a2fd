#!/usr/bin/python3
"""How well living-wallpaper files play: each loop rendered by quorrel-render,
then decoded by independent decoders (ffmpeg for WebM and GIF, libwebp through
Pillow for WebP) and measured frame by frame.

  scripts/loop-quality.py [--render BUILD/tools/render/quorrel-render]
      [--dir OUT] [--presets ocean,neon,dusk] [--sizes 512x512,fill1920x1080]
      [--formats webm,webp,gif] [--seconds 8] [--fps 30] [--seed 1]
      [--extra "--quality 50"] [--json results.json]
  scripts/loop-quality.py --measure FILE [FILE ...]     (files made elsewhere)
  scripts/loop-quality.py --pace [--presets all] [--size 128x128]
      (the mean absolute difference a second of each preset's loop, from
      lossless PNG frames)

Per loop: the file's size, the encode's wall time and peak resident set
(/usr/bin/time -v), the largest and the median step between decoded
neighbours with the loop point (last frame to first) included, the loop
point's own step, the mean share of pixels that change from one frame to the
next, and for a tile-sized loop the difference across the wrap edge (last
column to first, last row to first) against the same between neighbouring
columns and rows inside. Steps are mean absolute differences on 0..255 over
every channel of every pixel.
"""

import argparse
import json
import os
import re
import statistics
import subprocess
import sys
import time

import numpy as np

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def decode_frames(path):
    """Yields the decoded frames of `path` as H x W x 3 uint8 arrays."""
    if path.lower().endswith(".webp"):
        from PIL import Image
        with Image.open(path) as image:
            for n in range(getattr(image, "n_frames", 1)):
                image.seek(n)
                yield np.asarray(image.convert("RGB"))
        return
    probe = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                            "stream=width,height", "-of", "csv=p=0", path],
                           check=True, capture_output=True, text=True).stdout.strip().split("\n")[0]
    width, height = (int(v) for v in probe.split(",")[:2])
    # -vsync passthrough: every coded frame once, no frames dropped or doubled.
    command = ["ffmpeg", "-v", "error", "-i", path, "-vsync", "passthrough", "-f", "rawvideo",
               "-pix_fmt", "rgb24", "-"]
    frame_bytes = width * height * 3
    with subprocess.Popen(command, stdout=subprocess.PIPE) as decoder:
        while True:
            data = decoder.stdout.read(frame_bytes)
            if len(data) < frame_bytes:
                break
            yield np.frombuffer(data, np.uint8).reshape(height, width, 3)
        decoder.wait()
        if decoder.returncode:
            raise RuntimeError(f"ffmpeg could not decode {path}")


def mad(a, b):
    return float(np.mean(np.abs(a.astype(np.int16) - b.astype(np.int16))))


def wrap_edge(frame):
    """(difference across the wrap edge, difference between neighbours inside)."""
    f = frame.astype(np.int16)
    edge = (np.mean(np.abs(f[:, 0] - f[:, -1])) + np.mean(np.abs(f[0, :] - f[-1, :]))) / 2
    inside = (np.mean(np.abs(f[:, 1:] - f[:, :-1])) + np.mean(np.abs(f[1:, :] - f[:-1, :]))) / 2
    return float(edge), float(inside)


def measure(path, tile_sized):
    steps, changing, edges, insides = [], [], [], []
    first = previous = None
    count = 0
    for frame in decode_frames(path):
        if first is None:
            first = frame
        else:
            steps.append(mad(previous, frame))
            changing.append(float(np.mean(np.any(previous != frame, axis=2))))
        if tile_sized:
            edge, inside = wrap_edge(frame)
            edges.append(edge)
            insides.append(inside)
        previous = frame
        count += 1
    if count < 2:
        raise RuntimeError(f"{path}: {count} frames decoded")
    loop_step = mad(previous, first)
    steps.append(loop_step)
    changing.append(float(np.mean(np.any(previous != first, axis=2))))
    median = statistics.median(steps)
    result = {
        "file": path, "frames": count, "width": int(first.shape[1]), "height": int(first.shape[0]),
        "bytes": os.path.getsize(path), "largest_step": max(steps), "median_step": median,
        "loop_step": loop_step, "largest_over_median": max(steps) / median if median else float("inf"),
        "changing": statistics.mean(changing),
    }
    if tile_sized:
        result["wrap_edge"] = statistics.mean(edges)
        result["inside"] = statistics.mean(insides)
    return result


def render(tool, args, output):
    """Runs quorrel-render under /usr/bin/time -v: (seconds, peak MB)."""
    command = ["/usr/bin/time", "-v", tool] + args + ["-o", output, "--quiet"]
    start = time.monotonic()
    run = subprocess.run(command, capture_output=True, text=True)
    seconds = time.monotonic() - start
    if run.returncode:
        raise RuntimeError(f"{' '.join(command)}: {run.stderr.strip()[-2000:]}")
    peak = re.search(r"Maximum resident set size \(kbytes\): (\d+)", run.stderr)
    return seconds, int(peak.group(1)) / 1024 if peak else float("nan")


def size_args(size):
    if size.startswith("fill"):
        return ["--fill", size[4:]], False
    return ["--size", size, "--scale", "1"], True


def row(r):
    wrap = f"{r['wrap_edge']:.2f}/{r['inside']:.2f}" if "wrap_edge" in r else "-"
    return (f"| {r['case']} | {r['bytes'] / 1e6:.2f} MB | {r.get('seconds', float('nan')):.1f} s | "
            f"{r.get('peak_mb', float('nan')):.0f} MB | {r['largest_step']:.2f} / {r['median_step']:.2f} "
            f"= {r['largest_over_median']:.2f}x | {r['loop_step']:.2f} | {100 * r['changing']:.0f} % | {wrap} |")


HEADER = ("| loop | size | encode | peak RSS | largest / median step | loop step | changing | wrap edge/inside |\n"
          "|---|---|---|---|---|---|---|---|")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--render", default=os.path.join(REPO, "build/tools/quorrel-render"))
    parser.add_argument("--dir", default="/tmp/quorrel-loop-quality")
    parser.add_argument("--presets", default="ocean,neon,dusk")
    parser.add_argument("--sizes", default="512x512,fill1920x1080")
    parser.add_argument("--formats", default="webm,webp,gif")
    parser.add_argument("--seconds", default="8")
    parser.add_argument("--fps", default="30")
    parser.add_argument("--seed", default="1")
    parser.add_argument("--extra", default="", help="more quorrel-render arguments, space separated")
    parser.add_argument("--json", help="append the results to this file (one JSON object a line)")
    parser.add_argument("--keep", action="store_true", help="keep the files")
    parser.add_argument("--measure", nargs="+", help="measure these files only")
    parser.add_argument("--pace", action="store_true", help="mean absolute difference a second per preset")
    parser.add_argument("--size", default="128x128", help="the tile size --pace renders")
    options = parser.parse_args()

    if options.measure:
        print(HEADER)
        for path in options.measure:
            r = measure(path, True)
            r["case"] = os.path.basename(path)
            print(row(r), flush=True)
        return 0

    os.makedirs(options.dir, exist_ok=True)
    presets = options.presets.split(",")
    if options.presets == "all":
        presets = sorted(p[:-4] for p in os.listdir(os.path.join(REPO, "resources/presets")) if p.endswith(".wpp"))

    if options.pace:
        print("| preset | MAD a second | largest / median step | loop step | contrast: least / most |\n"
              "|---|---|---|---|---|")
        for preset in presets:
            folder = os.path.join(options.dir, "pace-" + preset)
            os.makedirs(folder, exist_ok=True)
            for name in os.listdir(folder):
                os.unlink(os.path.join(folder, name))
            args = ["--preset", preset, "--animate", options.seconds, "--fps", options.fps, "--seed", options.seed,
                    "--size", options.size, "--scale", "1"] + options.extra.split()
            render(options.render, args, os.path.join(folder, "f-{n}.png"))
            frames = [np.asarray(__import__("PIL.Image").Image.open(os.path.join(folder, n)).convert("RGB"))
                      for n in sorted(os.listdir(folder))]
            steps = [mad(frames[i], frames[(i + 1) % len(frames)]) for i in range(len(frames))]
            # Contrast: the standard deviation of a frame's values; a blend
            # that dims shows as frames far below the keyframes'.
            contrast = [float(np.std(f)) for f in frames]
            print(f"| {preset} | {statistics.mean(steps) * float(options.fps):.2f} | "
                  f"{max(steps):.2f} / {statistics.median(steps):.2f} | {steps[-1]:.2f} | "
                  f"{min(contrast):.1f} / {max(contrast):.1f} |", flush=True)
        return 0

    print(HEADER, flush=True)
    for size in options.sizes.split(","):
        for preset in presets:
            for fmt in options.formats.split(","):
                extra, tile_sized = size_args(size)
                case = f"{preset} {size} .{fmt}"
                output = os.path.join(options.dir, f"{preset}-{size}.{fmt}")
                args = ["--preset", preset, "--animate", options.seconds, "--fps", options.fps, "--seed",
                        options.seed] + extra + options.extra.split()
                try:
                    seconds, peak = render(options.render, args, output)
                    r = measure(output, tile_sized)
                except RuntimeError as e:
                    print(f"| {case} | failed: {str(e)[-300:]} |", flush=True)
                    continue
                r.update(case=case, seconds=seconds, peak_mb=peak, args=args)
                print(row(r), flush=True)
                if options.json:
                    with open(options.json, "a") as out:
                        out.write(json.dumps(r) + "\n")
                if not options.keep:
                    os.unlink(output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
