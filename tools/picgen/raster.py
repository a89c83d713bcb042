"""A small software rasteriser for the picture generator: straight-alpha RGBA pictures,
anti-aliased shapes by signed distance, gradients, compositing, PNG and ICO writers.
Standard library only, so the output is the same on every machine."""
import math
import struct
import zlib


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def hex_rgb(h):
    h = h.lstrip("#")
    return tuple(int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


class Picture:
    """Premultiplied RGBA floats internally; written as straight 8-bit RGBA."""

    def __init__(self, w, h, fill=None):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]
        if fill is not None:
            self.fill(lambda x, y: (fill, 1.0))

    def blend(self, x, y, rgb, a):
        if a <= 0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        p = self.px[y * self.w + x]
        k = 1.0 - a
        p[0] = rgb[0] * a + p[0] * k
        p[1] = rgb[1] * a + p[1] * k
        p[2] = rgb[2] * a + p[2] * k
        p[3] = a + p[3] * k

    def fill(self, shader, box=None):
        """shader(x, y) -> (rgb, alpha) at pixel centres; box limits the work."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        for y in range(y0, y1):
            for x in range(x0, x1):
                r = shader(x + 0.5, y + 0.5)
                if r is not None:
                    self.blend(x, y, r[0], r[1])

    def draw(self, other, ox, oy, alpha=1.0):
        for y in range(other.h):
            for x in range(other.w):
                p = other.px[y * other.w + x]
                a = p[3] * alpha
                if a > 0:
                    self.blend(ox + x, oy + y, (p[0] / p[3], p[1] / p[3], p[2] / p[3]), a)

    def scale_alpha(self, f):
        for p in self.px:
            for i in range(4):
                p[i] *= f

    def rgba_bytes(self):
        out = bytearray()
        for y in range(self.h):
            out.append(0)
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                if a <= 0:
                    out += b"\0\0\0\0"
                    continue
                out += bytes((int(clamp(r / a) * 255 + 0.5), int(clamp(g / a) * 255 + 0.5),
                              int(clamp(b / a) * 255 + 0.5), int(clamp(a) * 255 + 0.5)))
        return bytes(out)

    def png(self):
        def chunk(kind, data):
            c = kind + data
            return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)
        head = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) +
                chunk(b"IDAT", zlib.compress(self.rgba_bytes(), 9)) + chunk(b"IEND", b""))

    def resized(self, w, h):
        """Box-filtered down-scale (for icon sizes)."""
        out = Picture(w, h)
        sx, sy = self.w / w, self.h / h
        for y in range(h):
            for x in range(w):
                acc = [0.0] * 4
                n = 0
                for yy in range(int(y * sy), int((y + 1) * sy)):
                    for xx in range(int(x * sx), int((x + 1) * sx)):
                        p = self.px[yy * self.w + xx]
                        for i in range(4):
                            acc[i] += p[i]
                        n += 1
                out.px[y * w + x] = [v / n for v in acc]
        return out


# Signed distances (negative inside).
def sd_round_rect(px, py, x, y, w, h, r):
    cx, cy = x + w / 2.0, y + h / 2.0
    qx = abs(px - cx) - (w / 2.0 - r)
    qy = abs(py - cy) - (h / 2.0 - r)
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r


def sd_circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def sd_segment(px, py, ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    t = clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy or 1))
    return math.hypot(px - ax - dx * t, py - ay - dy * t) - r


def cover(d):
    return clamp(0.5 - d)


def shape(pic, sd, color, box=None, alpha=1.0):
    """Fills where sd(x, y) < 0; color is an rgb or a function (x, y) -> rgb."""
    def shader(x, y):
        c = cover(sd(x, y))
        if c <= 0:
            return None
        return (color(x, y) if callable(color) else color, c * alpha)
    pic.fill(shader, box)


def vgrad(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, clamp((y - y0) / float(y1 - y0 or 1)))


def hgrad(left, right, x0, x1):
    return lambda x, y: mix(left, right, clamp((x - x0) / float(x1 - x0 or 1)))


def ico(pictures):
    """An icon file: small sizes as 32-bit bitmaps, 256 as PNG."""
    entries, blobs = [], []
    for pic in pictures:
        if pic.w >= 256:
            data = pic.png()
        else:
            head = struct.pack("<IiiHHIIiiII", 40, pic.w, pic.h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
            rows = []
            raw = pic.rgba_bytes()
            stride = pic.w * 4 + 1
            for y in range(pic.h - 1, -1, -1):
                line = raw[y * stride + 1:(y + 1) * stride]
                rows.append(b"".join(bytes((line[i + 2], line[i + 1], line[i], line[i + 3]))
                                     for i in range(0, len(line), 4)))
            mask_row = ((pic.w + 31) // 32) * 4
            data = head + b"".join(rows) + b"\0" * (mask_row * pic.h)
        blobs.append(data)
        entries.append(pic)
    offset = 6 + 16 * len(entries)
    out = struct.pack("<HHH", 0, 1, len(entries))
    for pic, data in zip(entries, blobs):
        out += struct.pack("<BBBBHHII", pic.w % 256, pic.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(blobs)
