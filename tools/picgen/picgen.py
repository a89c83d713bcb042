#!/usr/bin/env python3
"""Generates the program's pictures into resources/pictures/ in one dark look.

    python3 tools/picgen/picgen.py            # write the pictures
    python3 tools/picgen/picgen.py --check    # exit 1 when a committed picture differs

Standard library only; the same input gives byte-identical files on every machine."""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from raster import (Picture, clamp, cover, hex_rgb, hgrad, ico, mix, sd_circle,  # noqa: E402
                    sd_round_rect, sd_segment, shape, vgrad)

BG_TOP, BG_BOTTOM = hex_rgb("#1A1A1A"), hex_rgb("#121212")
PANEL, PANEL_HI, LINE = hex_rgb("#262626"), hex_rgb("#303030"), hex_rgb("#3D3D3D")
GREY, LIGHT, WHITE = hex_rgb("#828282"), hex_rgb("#B3B3B3"), hex_rgb("#FFFFFF")
ACCENT, ACCENT_DARK, ACCENT_LIGHT = hex_rgb("#2D8CF0"), hex_rgb("#1E6FD1"), hex_rgb("#5AA8FF")
ORANGE, GREEN, RED = hex_rgb("#FF8A1F"), hex_rgb("#3CC27A"), hex_rgb("#E5484D")
DIALOG = hex_rgb("#1F1F1F")


def background():
    w, h = 900, 600
    p = Picture(w, h)
    glow = lambda x, y: clamp(1 - math.hypot((x - 120) / 520.0, (y - 40) / 300.0))
    p.fill(lambda x, y: (mix(vgrad(BG_TOP, BG_BOTTOM, 0, h)(x, y), ACCENT_DARK,
                             0.16 * glow(x, y) ** 2), 1.0))
    # A hairline under the header and a faint frame.
    shape(p, lambda x, y: abs(y - 120.5) - 0.5, LINE, (0, 119, w, 122), 0.5)
    shape(p, lambda x, y: -sd_round_rect(x, y, 0.5, 0.5, w - 1, h - 1, 0) - 0.5, LINE, None, 0.9)
    return p


def logo(size=70):
    p = Picture(size, size)
    s = size / 70.0
    shape(p, lambda x, y: sd_round_rect(x, y, 2 * s, 2 * s, 66 * s, 66 * s, 14 * s),
          vgrad(ACCENT_LIGHT, ACCENT_DARK, 0, size))
    # The product's mark: a bold V with a rising arrow.
    shape(p, lambda x, y: min(sd_segment(x, y, 19 * s, 20 * s, 35 * s, 52 * s, 5 * s),
                              sd_segment(x, y, 35 * s, 52 * s, 51 * s, 20 * s, 5 * s)), WHITE)
    shape(p, lambda x, y: sd_circle(x, y, 51 * s, 18 * s, 6 * s), ORANGE)
    return p


def window_card(w, h, rows, accent):
    """A small application window: title bar, rows with progress bars."""
    p = Picture(w, h)
    shape(p, lambda x, y: sd_round_rect(x, y, 0, 0, w, h, 8), vgrad(PANEL_HI, PANEL, 0, h))
    shape(p, lambda x, y: abs(y - 30.5) - 0.5, LINE, (8, 29, w - 8, 32))
    for i, c in enumerate((RED, ORANGE, GREEN)):
        shape(p, lambda x, y, i=i: sd_circle(x, y, 18 + i * 14, 15, 4), c)
    for r in range(rows):
        top = 46 + r * 34
        shape(p, lambda x, y, t=top: sd_round_rect(x, y, 16, t, 22, 22, 5), LINE)
        shape(p, lambda x, y, t=top: sd_round_rect(x, y, 48, t + 2, 110 - r * 12, 6, 3), GREY)
        fill = (0.9, 0.55, 0.75, 0.35, 0.6)[r % 5]
        shape(p, lambda x, y, t=top: sd_round_rect(x, y, 48, t + 14, w - 110, 5, 2.5), LINE)
        shape(p, lambda x, y, t=top: sd_round_rect(x, y, 48, t + 14, (w - 110) * fill, 5, 2.5),
              hgrad(accent, ACCENT_LIGHT, 48, w - 62))
    return p


def feature_pictures():
    out = {}
    # Page 1: driver updates in a window, a check badge floating over it.
    base = Picture(340, 230)
    base.draw(window_card(300, 210, 5, ACCENT), 0, 20)
    out["P1PIC1"] = base
    over = Picture(340, 230)
    shape(over, lambda x, y: sd_circle(x, y, 290, 60, 38), vgrad(hex_rgb("#56D68F"), GREEN, 22, 98))
    shape(over, lambda x, y: min(sd_segment(x, y, 274, 60, 286, 72, 4),
                                 sd_segment(x, y, 286, 72, 306, 50, 4)), WHITE)
    out["P1PIC2"] = over
    # Page 2: a speed gauge panel, a floating card with bars.
    base = Picture(340, 230)
    shape(base, lambda x, y: sd_round_rect(x, y, 0, 20, 300, 210, 8), vgrad(PANEL_HI, PANEL, 20, 230))

    def gauge(x, y):
        d = math.hypot(x - 150, y - 150)
        a = math.atan2(y - 150, x - 150)
        if a > 0.35 or a < -math.pi - 0.35:
            return None
        ring = cover(abs(d - 80) - 8)
        if ring <= 0:
            return None
        t = clamp((a + math.pi + 0.35) / (math.pi + 0.7))
        return (mix(ACCENT_DARK, ACCENT_LIGHT, t) if t < 0.72 else LINE, ring)
    base.fill(gauge, (60, 60, 240, 180))
    shape(base, lambda x, y: sd_segment(x, y, 150, 150, 205, 98, 3), WHITE)
    shape(base, lambda x, y: sd_circle(x, y, 150, 150, 9), LIGHT)
    out["P2PIC1"] = base
    over = Picture(340, 230)
    shape(over, lambda x, y: sd_round_rect(x, y, 230, 120, 104, 96, 8), vgrad(PANEL_HI, PANEL, 120, 216))
    for i, hgt in enumerate((30, 52, 40, 66)):
        shape(over, lambda x, y, i=i, hgt=hgt: sd_round_rect(x, y, 246 + i * 20, 200 - hgt, 12, hgt, 3),
              vgrad(ACCENT_LIGHT, ACCENT, 130, 200))
    out["P2PIC2"] = over
    # Page 3: a history time line, a floating star.
    base = Picture(340, 230)
    shape(base, lambda x, y: sd_round_rect(x, y, 0, 20, 300, 210, 8), vgrad(PANEL_HI, PANEL, 20, 230))
    shape(base, lambda x, y: sd_round_rect(x, y, 36, 44, 2, 166, 1), LINE)
    for i in range(4):
        top = 52 + i * 42
        shape(base, lambda x, y, t=top: sd_circle(x, y, 37, t + 4, 6), ACCENT if i == 0 else GREY)
        shape(base, lambda x, y, t=top: sd_round_rect(x, y, 56, t, 120 - i * 14, 7, 3.5), LIGHT)
        shape(base, lambda x, y, t=top: sd_round_rect(x, y, 56, t + 14, 200 - i * 20, 5, 2.5), LINE)
    out["P3PIC1"] = base
    over = Picture(340, 230)

    def star(x, y):
        cx, cy, r0, r1 = 290, 58, 36, 16
        a = math.atan2(y - cy, x - cx) + math.pi / 2
        k = (a % (2 * math.pi / 5)) / (2 * math.pi / 5)
        edge = r1 + (r0 - r1) * abs(1 - 2 * k) ** 1.6
        return math.hypot(x - cx, y - cy) - edge
    shape(over, star, vgrad(hex_rgb("#FFC861"), ORANGE, 22, 94), (250, 18, 330, 98))
    out["P3PIC2"] = over
    return out


def bullet():
    p = Picture(12, 12)
    shape(p, lambda x, y: sd_circle(x, y, 6, 6, 5.5), ACCENT, None, 0.3)
    shape(p, lambda x, y: sd_circle(x, y, 6, 6, 3.5), ACCENT_LIGHT)
    return p


def badge():
    p = Picture(40, 16)
    shape(p, lambda x, y: sd_round_rect(x, y, 0, 0, 40, 16, 3), vgrad(hex_rgb("#FF9F45"), ORANGE, 0, 16))
    return p


def table():
    w, h = 408, 120
    p = Picture(w, h)
    shape(p, lambda x, y: sd_round_rect(x, y, 0, 10, 264, 110, 6), PANEL)
    shape(p, lambda x, y: sd_round_rect(x, y, 264, 0, 144, 120, 6), vgrad(hex_rgb("#1D3550"), PANEL, 0, 120))
    shape(p, lambda x, y: abs(sd_round_rect(x, y, 264.5, 0.5, 143, 119, 6)) - 0.6, ACCENT)
    for ly in (45, 75, 105):
        shape(p, lambda x, y, ly=ly: abs(y - ly - 0.5) - 0.5, LINE, (8, ly - 1, w - 8, ly + 2))
    shape(p, lambda x, y: abs(x - 130.5) - 0.5, LINE, (129, 16, 132, 114))
    return p


def button(w, h, look, radius=4):
    top, bottom = {"normal": (ACCENT_LIGHT, ACCENT), "hover": (hex_rgb("#78B9FF"), ACCENT_LIGHT),
                   "down": (ACCENT, ACCENT_DARK), "disabled": (LINE, LINE)}[look]
    p = Picture(w, h)
    shape(p, lambda x, y: sd_round_rect(x, y, 0, 0, w, h, radius), vgrad(top, bottom, 0, h))
    if look != "disabled":
        shape(p, lambda x, y: abs(y - 1.5) - 0.5, WHITE, (radius, 0, w - radius, 3), 0.25)
    return p


def close_button(size, look, back=None):
    p = Picture(size, size)
    if look == "hover":
        shape(p, lambda x, y: sd_round_rect(x, y, 0, 0, size, size, 2), RED)
    if look == "down":
        shape(p, lambda x, y: sd_round_rect(x, y, 0, 0, size, size, 2), hex_rgb("#B8363A"))
    color = {"normal": LIGHT, "hover": WHITE, "down": WHITE, "disabled": LINE}[look]
    c, r = size / 2.0, size * 0.17
    shape(p, lambda x, y: min(sd_segment(x, y, c - r, c - r, c + r, c + r, 0.9),
                              sd_segment(x, y, c - r, c + r, c + r, c - r, 0.9)), color)
    return p


def dot(look):
    p = Picture(24, 5)
    color = {"normal": hex_rgb("#4D4D4D"), "hover": GREY, "down": LIGHT, "disabled": ACCENT}[look]
    shape(p, lambda x, y: sd_round_rect(x, y, 0, 0, 24, 5, 2.5), color)
    return p


def progress(fill):
    p = Picture(900, 5)
    if fill:
        p.fill(lambda x, y: (hgrad(ACCENT_DARK, ACCENT_LIGHT, 0, 900)(x, y), 1.0))
    else:
        p.fill(lambda x, y: (hex_rgb("#2A2A2A"), 1.0))
    return p


def shine_strip(frames=25, w=192, h=40):
    p = Picture(w * frames, h)
    for f in range(frames):
        centre = -40 + (w + 80) * f / float(frames - 1)

        def band(x, y, f=f, centre=centre):
            lx = x - f * w
            if sd_round_rect(lx, y, 0, 0, w, h, 4) > 0:
                return None
            d = abs((lx - centre) + (y - h / 2.0) * 0.6)
            a = clamp(1 - d / 22.0) ** 2 * 0.55
            return (WHITE, a) if a > 0 else None
        p.fill(band, (f * w, 0, (f + 1) * w, h))
    return p


def dialog_background():
    w, h = 380, 210
    p = Picture(w, h)
    p.fill(lambda x, y: (DIALOG if y > 36 else hex_rgb("#252525"), 1.0))
    shape(p, lambda x, y: abs(y - 36.5) - 0.5, LINE, (0, 35, w, 38))
    shape(p, lambda x, y: -sd_round_rect(x, y, 0.5, 0.5, w - 1, h - 1, 0) - 0.5, hex_rgb("#000000"))
    shape(p, lambda x, y: sd_circle(x, y, 19, 18, 6), ACCENT)
    return p


def marker():
    p = Picture(7, 7)
    shape(p, lambda x, y: sd_circle(x, y, 3.5, 3.5, 3.4), ACCENT_LIGHT)
    return p


def loading():
    """The picture the rotating-pointer animation turns: a pointer from the centre to the top,
    with a faint ring."""
    p = Picture(48, 48)
    shape(p, lambda x, y: abs(sd_circle(x, y, 24, 24, 20)) - 1.5, LINE)
    shape(p, lambda x, y: sd_segment(x, y, 24, 24, 24, 7, 2.2), vgrad(ACCENT_LIGHT, ACCENT, 7, 24))
    shape(p, lambda x, y: sd_circle(x, y, 24, 24, 3.5), LIGHT)
    return p


def all_pictures():
    pics = {"background.png": background(), "logo.png": logo(), "bullet.png": bullet(),
            "badge.png": badge(), "table.png": table(), "shine.png": shine_strip(),
            "progress_back.png": progress(False), "progress_fill.png": progress(True),
            "dialog_background.png": dialog_background(), "whatsnew_marker.png": marker(),
            "loading.png": loading()}
    for name, pic in feature_pictures().items():
        pics[name.lower() + ".png"] = pic
    for look in ("normal", "hover", "down", "disabled"):
        pics["button_%s.png" % look] = button(192, 40, look)
        pics["dialog_button_%s.png" % look] = button(98, 30, look, 3)
        pics["close_%s.png" % look] = close_button(34, look)
        pics["dialog_close_%s.png" % look] = close_button(24, look)
        pics["dot_%s.png" % look] = dot(look)
    files = {name: pic.png() for name, pic in pics.items()}
    big = logo(256)
    files["appicon.png"] = logo(32).png()
    files["leapgate.ico"] = ico([logo(16), logo(32), logo(48), big])
    return files


def main():
    out_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources",
                           "pictures")
    check = "--check" in sys.argv
    files = all_pictures()
    differ = []
    for name in sorted(files):
        path = os.path.join(out_dir, name)
        if check:
            old = open(path, "rb").read() if os.path.exists(path) else None
            if old != files[name]:
                differ.append(name)
        else:
            os.makedirs(out_dir, exist_ok=True)
            with open(path, "wb") as f:
                f.write(files[name])
    if check:
        print("pictures differ: " + ", ".join(differ) if differ else "pictures up to date")
        return 1 if differ else 0
    print("wrote %d pictures to %s" % (len(files), os.path.normpath(out_dir)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
