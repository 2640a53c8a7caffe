"""Rasterises gantry.svg's shapes into PNGs without extra packages: gantry.png (64x64, the
window's icon) and icons/hicolor/NxN/apps/gantry.png in the sizes the packages install.

The SVG is the source; this mirrors its few primitives so the PNG icons (for the window and for
desktops without SVG support) can be rebuilt: python3 data/make_icon_png.py
"""
import struct
import zlib
from pathlib import Path

SIZE, SAMPLES = 64, 4  # the SVG's units; samples per pixel along each axis
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SHAPES = [
    ("rrect", (2, 2, 60, 60, 10), (0x1D, 0x35, 0x57)),
    ("rect", (10, 12, 44, 6), (0xD9, 0xDD, 0xE3)),
    ("rect", (12, 18, 6, 36), (0xD9, 0xDD, 0xE3)),
    ("rect", (46, 18, 6, 36), (0xD9, 0xDD, 0xE3)),
    ("rect", (31, 18, 2, 10), (0xD9, 0xDD, 0xE3)),
    ("poly", ((32, 28), (44, 50), (32, 45), (20, 50)), (0xF4, 0xA2, 0x61)),
]


def inside(kind, args, x, y):
    if kind == "rect":
        rx, ry, w, h = args
        return rx <= x < rx + w and ry <= y < ry + h
    if kind == "rrect":
        rx, ry, w, h, r = args
        if not (rx <= x < rx + w and ry <= y < ry + h):
            return False
        cx = min(max(x, rx + r), rx + w - r)
        cy = min(max(y, ry + r), ry + h - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    # Even-odd rule polygon.
    result, n = False, len(args)
    for i in range(n):
        (x1, y1), (x2, y2) = args[i], args[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < (x2 - x1) * (y - y1) / (y2 - y1) + x1:
            result = not result
    return result


def render(size):
    unit = SIZE / size
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * unit
                    y = (py + (sy + 0.5) / SAMPLES) * unit
                    colour = None
                    for kind, args, fill in SHAPES:
                        if inside(kind, args, x, y):
                            colour = fill
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 255
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha:
                scale = 255 / acc[3]
                row += bytes([round(acc[0] * scale), round(acc[1] * scale),
                              round(acc[2] * scale), round(alpha)])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def chunk(tag, data):
    body = tag + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(size):
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(render(size), 9))
    data += chunk(b"IEND", b"")
    return data


def main():
    here = Path(__file__).parent
    (here / "gantry.png").write_bytes(png(SIZE))
    for size in ICON_SIZES:
        folder = here / "icons" / "hicolor" / f"{size}x{size}" / "apps"
        folder.mkdir(parents=True, exist_ok=True)
        (folder / "gantry.png").write_bytes(png(size))


if __name__ == "__main__":
    main()
