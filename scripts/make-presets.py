#!/usr/bin/env python3
"""Remakes the preset documents in resources/presets/ with Quorrel itself.

Each recipe below is a parameter set (the built-in defaults with a few
settings changed) and the seed of the tile chosen for it. The script writes
the settings as a "*.wpp" record, lets quorrel-render generate that seed's
coefficients into resources/presets/<id>.wpp and renders a PNG of each tile
for a look (into the folder given with --png).

    scripts/make-presets.py [--render build/tools/quorrel-render] [--png DIR]

The ids, names and seeds must match the catalogue in model/Presets.cpp; the
preset tests regenerate every shipped tile from its seed and fail on any
difference.
"""

import argparse
import os
import struct
import subprocess
import sys
import tempfile

R, G, B, H, S, L = range(6)

# A set of the built-in defaults: 125 x 125, 3 x 3 harmonics, Hue,
# Saturation and Luminosity enabled, Reflected, Normal.
def defaults(size=125):
    comps = []
    for c in range(6):
        comps.append(dict(hh=3, vh=3, amin=0, amax=60, wrap=1, style=0, lo=0, hi=255,
                          en=1 if c >= H else 0, sym=[1] * 6, cor=[0.0] * 8))
    comps[S].update(lo=69, hi=225)
    comps[L].update(lo=70, hi=182)
    comps[H]['sym'] = [0, 0, 0, 0, 1, 1]
    return dict(w=size, h=size, c=comps)


def with_(p, c, **fields):
    p['c'][c].update(fields)
    return p


# The record of a "*.wpp" document followed by a zero coefficient block.
def record(p):
    out = struct.pack('<II', p['w'], p['h'])
    for c in p['c']:
        out += struct.pack('<IIIIhhIIi', c['hh'], c['vh'], c['amin'], c['amax'], c['wrap'], c['style'],
                           c['lo'], c['hi'], c['en'])
        out += struct.pack('<6h', *c['sym'])
        out += struct.pack('<8d', *c['cor'])
    assert len(out) == 656
    return out + bytes(16 * sum(c['hh'] * c['vh'] for c in p['c']))


NO_SYMMETRY = [0] * 6
MIRRORS = [1, 1, 0, 0, 0, 0]
QUARTER_TURN = [0, 0, 0, 0, 0, 1]

# Colour spans are powers of two where the series crosses zero often: the
# wrap modes then meet themselves without a step at the crossing.
def recipes():
    r = []

    p = defaults(200)
    with_(p, H, amax=30)
    with_(p, S, lo=64, hi=128, amax=40)
    with_(p, L, lo=160, hi=224, amax=40)
    r.append(('pastel', 'Pastel', 7, p))

    p = defaults(200)
    with_(p, H, lo=176, hi=208, amax=20)
    with_(p, S, lo=64, hi=128, amax=30)
    with_(p, L, lo=144, hi=208, amax=30)
    r.append(('lavender', 'Lavender', 3, p))

    p = defaults()
    with_(p, H, lo=148, hi=164, amax=16)
    with_(p, S, lo=96, hi=160, amax=30)
    with_(p, L, lo=48, hi=176, amax=30, hh=4, vh=4)
    r.append(('monochrome-blue', 'Monochrome Blue', 8, p))

    p = defaults(160)
    with_(p, H, lo=120, hi=152, amax=15, hh=4, vh=4)
    with_(p, S, lo=128, hi=192, amax=20)
    with_(p, L, lo=64, hi=192, amax=18, hh=4, vh=4)
    r.append(('ocean', 'Ocean', 4, p))

    # A large, slow pattern for high-resolution screens.
    p = defaults(1024)
    with_(p, H, lo=136, hi=152, amax=20, hh=4, vh=4)
    with_(p, S, lo=32, hi=64, amax=30, hh=4, vh=4)
    with_(p, L, lo=112, hi=176, amax=40, hh=5, vh=5)
    r.append(('mist', 'Mist', 7, p))

    p = defaults()
    with_(p, H, lo=56, hi=88, amax=20)
    with_(p, S, lo=64, hi=128, amax=30)
    with_(p, L, lo=32, hi=96, amax=30, hh=5, vh=5)
    r.append(('forest', 'Forest', 5, p))

    p = defaults()
    with_(p, H, lo=12, hi=28, amax=16)
    with_(p, S, lo=64, hi=128, amax=30)
    with_(p, L, lo=48, hi=112, amax=20, hh=4, vh=4)
    r.append(('earth', 'Earth', 6, p))

    # RGB only: Green and Blue follow Red through their correlation rows,
    # Blue with a little random spread ("Free").
    p = defaults()
    for c in (H, S, L):
        with_(p, c, en=0)
    with_(p, R, en=1, lo=64, hi=192, amax=40, hh=4, vh=4)
    with_(p, G, lo=32, hi=160, cor=[0.7, 0, 0, 0, 0, 0, 0, 0])
    with_(p, B, lo=16, hi=80, cor=[0.4, 0, 0, 0, 0, 0, 0, 8])
    r.append(('copper', 'Copper', 8, p))

    # The hue range runs across 255 to 0: from pink through red to orange.
    p = defaults()
    with_(p, H, lo=240, hi=17, amax=30)
    with_(p, S, lo=160, hi=224, amax=40)
    with_(p, L, lo=96, hi=160, amax=40)
    r.append(('sunset', 'Sunset', 5, p))

    p = defaults(180)
    for c in (H, S, L):
        with_(p, c, style=1, hh=5, vh=5)
    with_(p, H, lo=28, hi=44, amax=30)
    with_(p, S, lo=96, hi=160, amax=40)
    with_(p, L, lo=96, hi=224, amax=40)
    r.append(('soft-diamond', 'Soft Diamond', 6, p))

    # Every component unchanged by a quarter turn.
    p = defaults(160)
    for c in (H, S, L):
        with_(p, c, sym=QUARTER_TURN, hh=4, vh=4)
    with_(p, H, lo=216, hi=248, amax=15)
    with_(p, S, lo=64, hi=128, amax=20)
    with_(p, L, lo=80, hi=208, amax=20)
    r.append(('pinwheel', 'Pinwheel', 5, p))

    # Stripes: Hue varies only down the tile, Saturation and Luminosity only
    # across; Red, Green and Blue add the crossings of Hue and Luminosity.
    p = defaults(160)
    with_(p, H, lo=0, hi=64, hh=1, vh=6, amax=30, sym=MIRRORS)
    with_(p, S, lo=128, hi=192, hh=6, vh=1, amax=30, sym=MIRRORS)
    with_(p, L, lo=32, hi=96, hh=6, vh=1, amax=30, sym=MIRRORS)
    for c in (R, G, B):
        with_(p, c, lo=0, hi=32, cor=[0, 0, 0, 1.0, 0, 1.0, 0, 0])
    r.append(('tartan', 'Tartan', 4, p))

    # Threads: a fine series down the tile (Hue) and one across it
    # (Saturation) in narrow ranges; Red, Green and Blue add both as grey.
    p = defaults()
    with_(p, H, lo=24, hi=32, hh=1, vh=30, amax=40, sym=NO_SYMMETRY)
    with_(p, S, lo=32, hi=48, hh=30, vh=1, amax=40, sym=NO_SYMMETRY)
    with_(p, L, lo=168, hi=184, amax=10)
    for c in (R, G, B):
        with_(p, c, lo=0, hi=32, cor=[0, 0, 0, 1.0, 1.0, 0, 0, 0])
    r.append(('linen', 'Linen', 2, p))

    p = defaults()
    with_(p, H, amax=10)
    with_(p, S, lo=0, hi=16, amax=10)
    with_(p, L, lo=48, hi=112, amax=25, hh=5, vh=5, sym=NO_SYMMETRY)
    r.append(('graphite', 'Graphite', 7, p))

    # Hue follows Luminosity: the dark parts teal, the light parts violet.
    p = defaults()
    with_(p, S, lo=128, hi=192, amax=30)
    with_(p, L, lo=48, hi=176, amax=30, hh=4, vh=4)
    with_(p, H, en=0, lo=140, hi=204, cor=[0, 0, 0, 0, 0, 1.0, 0, 0])
    r.append(('dusk', 'Dusk', 3, p))

    p = defaults()
    with_(p, H, amax=50, wrap=0, hh=4, vh=4)
    with_(p, S, lo=224, hi=255, amax=20)
    with_(p, L, lo=0, hi=128, amax=45, hh=5, vh=5)
    r.append(('neon', 'Neon', 1, p))
    return r


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--render', default=os.path.join(root, 'build', 'tools', 'quorrel-render'))
    parser.add_argument('--png', help='folder for a PNG of every tile')
    args = parser.parse_args()
    out_dir = os.path.join(root, 'resources', 'presets')
    with tempfile.TemporaryDirectory() as tmp:
        for pid, name, seed, params in recipes():
            settings = os.path.join(tmp, pid + '.wpp')
            with open(settings, 'wb') as f:
                f.write(record(params))
            command = [args.render, settings, '--generate', '--seed', str(seed), '--quiet',
                       '--save-wpp', os.path.join(out_dir, pid + '.wpp')]
            if args.png:
                os.makedirs(args.png, exist_ok=True)
                command += ['-o', os.path.join(args.png, pid + '.png')]
            subprocess.run(command, check=True)
            print(f'{pid:16} {name:16} seed {seed}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
