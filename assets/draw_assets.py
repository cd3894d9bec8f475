#!/usr/bin/python3
"""Draw Quadrivo's pictures from vector shapes.

Writes, next to this script:
  cards/hearts_01.jpg .. hearts_13.jpg   the hearts suit, ace to king, 141 x 197
  about_banner.jpg                       the About window's banner, 320 x 64
  quadrivo.ico                           the program icon, 16/32/48 px, 32-bit with alpha

Everything is drawn at four times the final size and reduced with a Lanczos
filter, which gives smooth edges without depending on the drawing library's
own antialiasing. The output is deterministic: running the script again gives
the same bytes, so the committed pictures can always be reproduced.

Needs Debian's python3-pil, fonts-dejavu-core and fonts-wqy-microhei.
Run with: /usr/bin/python3 assets/draw_assets.py
"""

import io
import math
import os
import struct
import sys

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:
    sys.exit("draw_assets.py: Pillow is missing; install Debian's python3-pil")

HERE = os.path.dirname(os.path.abspath(__file__))

FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT_BOLD_CONDENSED = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"
FONT_SERIF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"
FONT_CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

SS = 4  # supersampling factor

# Colours
DIALOG = (240, 240, 240)   # light Windows dialog face, shows outside the round corners
WHITE = (255, 255, 255)
RED = (200, 16, 46)
DARK_RED = (140, 10, 30)
BORDER = (150, 150, 150)
GOLD = (232, 176, 20)
DARK_GOLD = (170, 120, 10)
BLUE = (31, 58, 147)
FLESH = (249, 222, 186)
INK = (30, 30, 30)
CREAM = (255, 249, 230)  # court panel ground, sets the figure off the white face

CARD_W, CARD_H = 141, 197
JPEG_OPTIONS = dict(quality=92, subsampling=0, progressive=False, optimize=False)


def font(path, size_px):
    """Load a font or stop with a message that names the missing Debian package."""
    if not os.path.isfile(path):
        package = "fonts-wqy-microhei" if "wqy" in path else "fonts-dejavu-core"
        sys.exit(f"draw_assets.py: font {path} is missing; install Debian's {package}")
    return ImageFont.truetype(path, size_px)


# ---------------------------------------------------------------- heart shape

def _bezier(p0, p1, p2, p3, steps=24):
    out = []
    for i in range(steps + 1):
        t = i / steps
        u = 1 - t
        x = u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0]
        y = u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1]
        out.append((x, y))
    return out


def _unit_heart():
    """Outline of a card heart, x in -0.5..0.5, y downwards, bounding box centred on 0.

    Left half from the point at the bottom round the left lobe to the notch,
    then the mirror image, so the shape is exactly symmetric.
    """
    tip = (0.0, 0.50)
    side = (-0.50, -0.10)
    top = (-0.255, -0.44)
    notch = (0.0, -0.27)
    left = []
    left += _bezier(tip, (-0.10, 0.36), (-0.50, 0.16), side)[:-1]
    left += _bezier(side, (-0.52, -0.30), (-0.40, -0.44), top)[:-1]
    left += _bezier(top, (-0.11, -0.44), (-0.02, -0.37), notch)
    right = [(-x, y) for (x, y) in reversed(left[:-1])]
    pts = left + right[:-1]
    ys = [p[1] for p in pts]
    mid = (min(ys) + max(ys)) / 2
    return [(x, y - mid) for (x, y) in pts]


UNIT_HEART = _unit_heart()
HEART_ASPECT = max(p[1] for p in UNIT_HEART) - min(p[1] for p in UNIT_HEART)  # height / width


def heart(draw, cx, cy, width, fill=RED, upside_down=False, outline=None, outline_w=0):
    """Heart centred on (cx, cy), coordinates in final-size pixels."""
    sy = -1 if upside_down else 1
    pts = [((cx + x * width) * SS, (cy + sy * y * width) * SS) for (x, y) in UNIT_HEART]
    draw.polygon(pts, fill=fill)
    if outline:
        draw.line(pts + [pts[0]], fill=outline, width=max(1, round(outline_w * SS)), joint="curve")


# ---------------------------------------------------------------- helpers

def S(*values):
    """Final-size pixels to supersampled pixels."""
    return [v * SS for v in values]


def reduce(img, size):
    return img.resize(size, Image.LANCZOS)


def rotate180(img):
    return img.transpose(Image.ROTATE_180)


def text_centered(draw, x, y, text, fnt, fill, anchor="ms"):
    draw.text((x * SS, y * SS), text, font=fnt, fill=fill, anchor=anchor)


# ---------------------------------------------------------------- cards

RANK_TEXT = {1: "A", 11: "J", 12: "Q", 13: "K"}

PIP_TOP, PIP_BOTTOM = 36.0, 161.0
COL_L, COL_C, COL_R = 43.0, CARD_W / 2, CARD_W - 43.0
PIP_W = 24.0


def pip_layout(rank):
    """Pip centres (x, fraction of the pip column from top to bottom) of the number cards."""
    third = (0.0, 1 / 3, 2 / 3, 1.0)
    sides6 = [(c, f) for f in (0.0, 0.5, 1.0) for c in (COL_L, COL_R)]
    sides8 = [(c, f) for f in third for c in (COL_L, COL_R)]
    corners = [(c, f) for f in (0.0, 1.0) for c in (COL_L, COL_R)]
    return {
        2: [(COL_C, 0.0), (COL_C, 1.0)],
        3: [(COL_C, 0.0), (COL_C, 0.5), (COL_C, 1.0)],
        4: corners,
        5: corners + [(COL_C, 0.5)],
        6: sides6,
        7: sides6 + [(COL_C, 0.25)],
        8: sides6 + [(COL_C, 0.25), (COL_C, 0.75)],
        9: sides8 + [(COL_C, 0.5)],
        10: sides8 + [(COL_C, 1 / 6), (COL_C, 5 / 6)],
    }[rank]


def card_base():
    """White face with round corners and a thin grey border on the dialog colour."""
    img = Image.new("RGB", (CARD_W * SS, CARD_H * SS), DIALOG)
    d = ImageDraw.Draw(img)
    inset = 0.5
    d.rounded_rectangle(S(inset, inset, CARD_W - inset, CARD_H - inset),
                        radius=8 * SS, fill=WHITE, outline=BORDER, width=round(1.1 * SS))
    return img


def draw_index(layer, rank):
    """Rank and small heart in the top-left corner; the caller adds the turned copy."""
    d = ImageDraw.Draw(layer)
    text = RANK_TEXT.get(rank, str(rank))
    if text == "10":
        fnt = font(FONT_BOLD_CONDENSED, 19 * SS)
        # Pull the two digits together so "10" stays inside the index column.
        w1 = d.textlength("1", font=fnt) / SS
        x = 12.5
        text_centered(d, x - w1 / 2 + 0.4, 21, "1", fnt, RED)
        text_centered(d, x + w1 / 2 - 0.4 + 0.5, 21, "0", fnt, RED)
    else:
        fnt = font(FONT_BOLD, 19 * SS)
        text_centered(d, 12.5, 21, text, fnt, RED)
    heart(d, 12.5, 31.5, 11.5)


def number_card(rank):
    img = card_base()
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    draw_index(layer, rank)
    layer = Image.alpha_composite(layer, rotate180(layer))
    img.paste(layer, (0, 0), layer)
    d = ImageDraw.Draw(img)
    if rank == 1:
        heart(d, CARD_W / 2, CARD_H / 2, 66)
    else:
        for x, f in pip_layout(rank):
            y = PIP_TOP + f * (PIP_BOTTOM - PIP_TOP)
            heart(d, x, y, PIP_W, upside_down=f > 0.5)
    return img


# Court frame, final-size pixels.
FRAME = (27.0, 23.0, CARD_W - 27.0, CARD_H - 23.0)


def court_half(rank, w, h):
    """Top half of a court figure, supersampled, w x h final-size pixels.

    Flat shapes only: a figure cut at the chest, mirrored by the caller.
    """
    img = Image.new("RGBA", (round(w * SS), round(h * SS)), CREAM + (255,))
    d = ImageDraw.Draw(img)
    cx = w / 2 + 4
    lw = round(0.9 * SS)

    k = 1.1  # the figure is designed small and enlarged about the centre of the cut

    def T(x, y):
        return ((cx + (x - cx) * k) * SS, (h + (y - h) * k) * SS)

    def P(*xy):
        out = []
        for i in range(0, len(xy), 2):
            out += T(xy[i], xy[i + 1])
        return out

    def poly(points, fill, outline=INK):
        pts = [T(x, y) for (x, y) in points]
        d.polygon(pts, fill=fill)
        if outline:
            d.line(pts + [pts[0]], fill=outline, width=lw, joint="curve")

    head_y = 31.0
    head_r = 9.5

    # Attribute behind the figure: sword (king), flower stem (queen), halberd (jack).
    if rank == 13:
        # Sword held up behind the head, blade slanted.
        poly([(cx - 30, 62), (cx - 26, 64), (cx + 12, 8), (cx + 9, 5)], (205, 210, 220))
        poly([(cx - 31, 52), (cx - 22, 62), (cx - 20, 60), (cx - 29, 50)], GOLD)
    elif rank == 11:
        d.line(P(cx - 27, h, cx - 27, 20), fill=DARK_GOLD, width=round(2 * SS))
        poly([(cx - 27, 14), (cx - 21, 22), (cx - 27, 27), (cx - 33, 22)], (205, 210, 220))

    # Body: shoulders and robe, cut by the centre line.
    poly([(cx - 30, h + 1), (cx - 26, 52), (cx - 14, 44), (cx + 14, 44),
          (cx + 26, 52), (cx + 30, h + 1)], RED)
    # Front panel in gold with blue trim.
    poly([(cx - 9, h + 1), (cx - 7, 45), (cx + 7, 45), (cx + 9, h + 1)], GOLD)
    d.line(P(cx - 3.5, 48, cx - 3.5, h), fill=BLUE, width=round(1.6 * SS))
    d.line(P(cx + 3.5, 48, cx + 3.5, h), fill=BLUE, width=round(1.6 * SS))
    for yy in (52, 60, 68):
        d.ellipse(P(cx - 1.5, yy - 1.5, cx + 1.5, yy + 1.5), fill=RED)
    # Shoulder trim.
    poly([(cx - 26, 52), (cx - 14, 44), (cx - 9, 45), (cx - 20, 55)], BLUE)
    poly([(cx + 26, 52), (cx + 14, 44), (cx + 9, 45), (cx + 20, 55)], BLUE)
    # Collar.
    poly([(cx - 11, 44), (cx, 50), (cx + 11, 44), (cx + 7, 41), (cx - 7, 41)], WHITE)

    # Hair or beard behind the face.
    if rank == 12:
        poly([(cx - 12, 26), (cx - 15, 46), (cx - 6, 42), (cx, 22),
              (cx + 6, 42), (cx + 15, 46), (cx + 12, 26)], GOLD)
    elif rank == 11:
        poly([(cx - 11, 28), (cx - 13, 42), (cx - 6, 39), (cx, 24),
              (cx + 6, 39), (cx + 13, 42), (cx + 11, 28)], (150, 90, 30))

    # Face.
    d.ellipse(P(cx - head_r + 1, head_y - head_r, cx + head_r - 1, head_y + head_r),
              fill=FLESH, outline=INK, width=lw)
    if rank == 13:
        # Beard and moustache.
        poly([(cx - 8.5, 32), (cx - 7, 42), (cx, 47), (cx + 7, 42), (cx + 8.5, 32),
              (cx + 4, 36), (cx, 35), (cx - 4, 36)], (236, 236, 236))
    # Eyes, nose, mouth.
    for ex in (cx - 3.3, cx + 3.3):
        d.ellipse(P(ex - 1.1, head_y - 2.2, ex + 1.1, head_y), fill=INK)
    d.line(P(cx, head_y - 0.5, cx - 0.8, head_y + 3, cx + 0.4, head_y + 3.4), fill=INK, width=lw)
    if rank != 13:
        d.line(P(cx - 2.2, head_y + 5.5, cx + 2.2, head_y + 5.5), fill=DARK_RED, width=round(1.2 * SS))
    else:
        d.line(P(cx - 2.5, head_y + 5, cx + 2.5, head_y + 5), fill=INK, width=lw)

    # Headwear.
    top = head_y - head_r
    if rank == 13:
        # Crown with five points and jewels.
        poly([(cx - 10.5, top + 3), (cx - 11.5, top - 10), (cx - 6, top - 4), (cx - 3, top - 12),
              (cx, top - 5), (cx + 3, top - 12), (cx + 6, top - 4), (cx + 11.5, top - 10),
              (cx + 10.5, top + 3)], GOLD)
        d.rectangle(P(cx - 10.5, top, cx + 10.5, top + 3), fill=RED, outline=INK, width=lw)
        for jx in (cx - 6, cx, cx + 6):
            d.ellipse(P(jx - 1.2, top - 4, jx + 1.2, top - 1.6), fill=BLUE)
    elif rank == 12:
        # Small crown over a veil.
        poly([(cx - 13, top + 6), (cx - 10, top - 2), (cx + 10, top - 2), (cx + 13, top + 6),
              (cx + 9, top + 3), (cx - 9, top + 3)], BLUE)
        poly([(cx - 8.5, top + 1), (cx - 9, top - 8), (cx - 4.5, top - 3), (cx, top - 10),
              (cx + 4.5, top - 3), (cx + 9, top - 8), (cx + 8.5, top + 1)], GOLD)
        d.ellipse(P(cx - 1.4, top - 4.8, cx + 1.4, top - 2), fill=RED)
    else:
        # Beret with a band and a feather.
        poly([(cx - 12, top + 4), (cx - 10, top - 5), (cx + 2, top - 9), (cx + 13, top - 4),
              (cx + 12, top + 4)], RED)
        d.rectangle(P(cx - 12, top + 1, cx + 12, top + 4.5), fill=GOLD, outline=INK, width=lw)
        poly([(cx + 10, top - 3), (cx + 20, top - 12), (cx + 22, top - 10), (cx + 13, top - 1)],
             BLUE)

    # Hand with the attribute in front.
    if rank == 12:
        # A flower held at the chest.
        d.line(P(cx + 17, 62, cx + 22, 46), fill=(40, 120, 50), width=round(1.5 * SS))
        for a in range(5):
            ang = a * 2 * math.pi / 5
            px, py = cx + 22 + 3 * math.cos(ang), 44 + 3 * math.sin(ang)
            d.ellipse(P(px - 2.4, py - 2.4, px + 2.4, py + 2.4), fill=RED, outline=INK, width=lw)
        d.ellipse(P(cx + 20.5, 42.5, cx + 23.5, 45.5), fill=GOLD)
        d.ellipse(P(cx + 13, 59, cx + 19, 65), fill=FLESH, outline=INK, width=lw)
    elif rank == 13:
        d.ellipse(P(cx - 27, 56, cx - 21, 62), fill=FLESH, outline=INK, width=lw)
    else:
        d.ellipse(P(cx - 30, 56, cx - 24, 62), fill=FLESH, outline=INK, width=lw)

    # Suit sign beside the figure, as on printed court cards.
    heart(d, 8.5, 9.5, 9)
    return img


def court_card(rank):
    img = card_base()
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    draw_index(layer, rank)
    layer = Image.alpha_composite(layer, rotate180(layer))
    img.paste(layer, (0, 0), layer)

    x0, y0, x1, y1 = FRAME
    w, h = x1 - x0, y1 - y0
    half = court_half(rank, w, h / 2)
    panel = Image.new("RGBA", (round(w * SS), round(h * SS)), CREAM + (255,))
    panel.paste(half, (0, 0))
    panel.paste(rotate180(half), (0, panel.size[1] - half.size[1]))
    pd = ImageDraw.Draw(panel)
    # Dividing line between the two halves.
    mid = panel.size[1] // 2
    pd.line([(0, mid), (panel.size[0], mid)], fill=BLUE, width=round(1.0 * SS))
    img.paste(panel, (round(x0 * SS), round(y0 * SS)))

    d = ImageDraw.Draw(img)
    d.rectangle(S(x0, y0, x1, y1), outline=BLUE, width=round(1.2 * SS))
    d.rectangle(S(x0 - 2, y0 - 2, x1 + 2, y1 + 2), outline=GOLD, width=round(0.8 * SS))
    return img


def draw_card(rank):
    big = court_card(rank) if rank > 10 else number_card(rank)
    return reduce(big, (CARD_W, CARD_H))


# ---------------------------------------------------------------- banner

BANNER_W, BANNER_H = 320, 64


def mini_card(angle, rank_text, w=24, h=34):
    """A small card for the banner, supersampled RGBA, turned by angle degrees."""
    pad = 8
    img = Image.new("RGBA", ((w + 2 * pad) * SS, (h + 2 * pad) * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(S(pad, pad, pad + w, pad + h), radius=3 * SS,
                        fill=WHITE + (255,), outline=(120, 120, 120, 255), width=round(0.8 * SS))
    fnt = font(FONT_BOLD, 8 * SS)
    text_centered(d, pad + 5, pad + 9, rank_text, fnt, RED)
    heart(d, pad + w / 2, pad + h / 2 + 2, 12)
    return img.rotate(angle, resample=Image.BICUBIC, expand=False)


def draw_banner():
    W, H = BANNER_W * SS, BANNER_H * SS
    img = Image.new("RGB", (W, H))
    # Card-table green, a little lighter at the top.
    top, bottom = (22, 110, 70), (9, 66, 42)
    px = img.load()
    for y in range(H):
        t = y / (H - 1)
        c = tuple(round(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
        for x in range(W):
            px[x, y] = c
    d = ImageDraw.Draw(img)
    # Thin gold rule along the bottom edge.
    d.rectangle(S(0, BANNER_H - 3, BANNER_W, BANNER_H - 2), fill=GOLD)

    # A fan of four cards on the left: 3, 3, 8, 8, the classic hard deal (8 / (3 - 8 / 3)).
    for i, (angle, txt) in enumerate(((24, "3"), (8, "8"), (-8, "3"), (-24, "8"))):
        card = mini_card(angle, txt)
        x = (10 + i * 13) * SS
        y = (4 + abs(i - 1.5) * 2.5) * SS
        img.paste(card, (round(x), round(y)), card)

    title = font(FONT_BOLD, 27 * SS)
    d.text((92 * SS, 33 * SS), "Quadrivo", font=title, fill=WHITE, anchor="ls")
    sub = font(FONT_CJK, 15 * SS)
    d.text((94 * SS, 53 * SS), "24点速算训练", font=sub, fill=(246, 214, 120), anchor="ls")
    # A small heart after the title.
    tw = d.textlength("Quadrivo", font=title) / SS
    heart(d, 92 + tw + 10, 22, 11, fill=(230, 40, 60))
    return reduce(img, (BANNER_W, BANNER_H))


# ---------------------------------------------------------------- icon

def draw_icon(size):
    """A red card with "24" in white, RGBA at size x size."""
    big = size * SS
    img = Image.new("RGBA", (big, big), RED + (0,))
    d = ImageDraw.Draw(img)
    m = size * 0.06
    w = size * 0.74
    x0 = (size - w) / 2
    r = max(1.5, size * 0.12)
    if size <= 16:
        x0, w = 1.5, size - 3
    outline = max(0.8, size / 24)
    d.rounded_rectangle(S(x0, m, x0 + w, size - m), radius=r * SS,
                        fill=RED + (255,), outline=DARK_RED + (255,), width=round(outline * SS))
    fsize = size * (0.56 if size <= 16 else 0.42)
    fnt = font(FONT_BOLD_CONDENSED if size <= 16 else FONT_BOLD, round(fsize * SS))
    text_centered(d, size / 2, size * 0.5, "24", fnt, WHITE + (255,), anchor="mm")
    if size > 16:
        # Small hearts in two corners, like the indices of a card.
        hw = size * 0.15
        heart(d, x0 + hw * 0.9, m + hw * 0.9, hw, fill=WHITE + (255,))
        heart(d, x0 + w - hw * 0.9, size - m - hw * 0.9, hw, fill=WHITE + (255,), upside_down=True)
    # Reduce with premultiplied alpha so the transparent red does not bleed dark edges.
    small = img.convert("RGBa").resize((size, size), Image.LANCZOS).convert("RGBA")
    return small


def write_ico(path, images):
    """ICO with uncompressed 32-bit DIB entries (BGRA + AND mask), read by every Windows and Wine."""
    entries = []
    blobs = []
    for im in images:
        w, h = im.size
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        rows = []
        mask_rows = []
        px = im.load()
        mask_stride = ((w + 31) // 32) * 4
        for y in range(h - 1, -1, -1):
            row = bytearray()
            bits = bytearray(mask_stride)
            for x in range(w):
                r, g, b, a = px[x, y]
                row += bytes((b, g, r, a))
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            rows.append(bytes(row))
            mask_rows.append(bytes(bits))
        blob = header + b"".join(rows) + b"".join(mask_rows)
        blobs.append(blob)
        entries.append((w, h))
    out = io.BytesIO()
    out.write(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (w, h), blob in zip(entries, blobs):
        out.write(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        offset += len(blob)
    for blob in blobs:
        out.write(blob)
    with open(path, "wb") as f:
        f.write(out.getvalue())


# ---------------------------------------------------------------- main

def main():
    cards_dir = os.path.join(HERE, "cards")
    os.makedirs(cards_dir, exist_ok=True)
    for rank in range(1, 14):
        path = os.path.join(cards_dir, f"hearts_{rank:02d}.jpg")
        draw_card(rank).save(path, "JPEG", **JPEG_OPTIONS)
        print(path)
    path = os.path.join(HERE, "about_banner.jpg")
    draw_banner().save(path, "JPEG", **JPEG_OPTIONS)
    print(path)
    path = os.path.join(HERE, "quadrivo.ico")
    write_ico(path, [draw_icon(s) for s in (16, 32, 48)])
    print(path)


if __name__ == "__main__":
    main()
