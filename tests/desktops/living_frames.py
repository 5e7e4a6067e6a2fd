#!/usr/bin/python3
# Writes each frame of a living wallpaper's frames file as a PPM, read
# independently of the player: the 64-byte header, then 0xffRRGGBB words.
#   living_frames.py FILE OUTDIR   (prints "WIDTH HEIGHT FRAMES FPS")
import os
import struct
import sys

path, out = sys.argv[1], sys.argv[2]
with open(path, "rb") as f:
    data = f.read()
magic, header, width, height, frames, fps, stride, frame_bytes = struct.unpack_from("<8sIIIIIIQ", data, 0)
assert magic == b"QRLLOOP1" and header == 64, "not a frames file"
assert stride == width and frame_bytes == width * height * 4, "bad stride"
assert len(data) == 64 + frames * frame_bytes, "length does not match"
os.makedirs(out, exist_ok=True)
for n in range(frames):
    start = 64 + n * frame_bytes
    rgb = bytearray(width * height * 3)
    words = data[start:start + frame_bytes]
    rgb[0::3] = words[2::4]
    rgb[1::3] = words[1::4]
    rgb[2::3] = words[0::4]
    with open(os.path.join(out, f"frame-{n:04d}.ppm"), "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height) + bytes(rgb))
print(width, height, frames, fps)
