#!/usr/bin/python3
"""Tells how much of a screenshot shows a tile repeated edge to edge.

    tile-on-screen.py TILE.ppm SCREEN.ppm MIN_FRACTION

Both images are binary PPM (P6, 8 bits a channel), as `convert X ppm:Y`
writes them. The tile's offset on the screen is found from the pixels around
a few sample points; then every screen pixel is compared with the tile
repeated from that offset. Prints the offset and the share of the screen
that matches, and exits 1 when it is below MIN_FRACTION (or no offset fits).
"""

import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise SystemExit(f"{path}: not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos:pos + width * height * 3]
    if len(pixels) != width * height * 3:
        raise SystemExit(f"{path}: truncated")
    return width, height, pixels


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    tw, th, tile = read_ppm(sys.argv[1])
    sw, sh, screen = read_ppm(sys.argv[2])
    wanted = float(sys.argv[3])

    def tile_px(x, y):
        i = ((y % th) * tw + (x % tw)) * 3
        return tile[i:i + 3]

    def screen_px(x, y):
        i = (y * sw + x) * 3
        return screen[i:i + 3]

    # Candidate offsets: where a sample pixel's colour sits in the tile, kept
    # when a 9 x 9 patch around it matches too. Several sample points, so the
    # pointer or a small window over one of them does not matter.
    def offset_from(cx, cy):
        sample = screen_px(cx, cy)
        for ty in range(th):
            for tx in range(tw):
                if tile_px(tx, ty) != sample:
                    continue
                ox, oy = tx - cx, ty - cy
                if all(screen_px(cx + dx, cy + dy) == tile_px(ox + cx + dx, oy + cy + dy)
                       for dy in range(-4, 5) for dx in range(-4, 5)):
                    return ox, oy
        return None

    offset = None
    for fy in (2, 1, 3):
        for fx in (2, 1, 3):
            offset = offset_from(sw * fx // 4, sh * fy // 4)
            if offset:
                break
        if offset:
            break
    if offset is None:
        print("the tile is not on the screen")
        return 1

    ox, oy = offset
    matching = 0
    for y in range(sh):
        row = (y * sw) * 3
        for x in range(sw):
            if screen[row + x * 3:row + x * 3 + 3] == tile_px(x + ox, y + oy):
                matching += 1
    share = matching / (sw * sh)
    print(f"tile {tw}x{th} at offset {(-ox) % tw},{(-oy) % th}: "
          f"{matching} of {sw * sh} screen pixels ({share:.1%}) show it")
    return 0 if share >= wanted else 1


if __name__ == "__main__":
    sys.exit(main())
