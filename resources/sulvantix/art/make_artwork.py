#!/usr/bin/python3
"""Draws the GUI program's artwork: the main window's and the message box's
JPEG backgrounds for the three display classes (96, 120, 98120), the button
bitmaps with their masks, the program icon and its session look for the
notification area.

The backgrounds are laid out on measured control rectangles (layout-*.json,
written by tools/layout_probe under Wine; docs/art.md tells how), with the
program's own rules applied on top: the window takes the picture's size plus
3 pixels, a masked button takes its mask's size at its template position, the
title buttons move at classes 120 and 98120, and the Start/Stop picture is
copied at its natural size into the top-left corner of its larger control.

Needs Python 3 and Pillow (Debian: python3-pil) and the Carlito font (Debian:
fonts-crosextra-carlito, metric-compatible with Calibri, the program's face).
The build does not run this: its outputs are kept in the tree.

    /usr/bin/python3 resources/sulvantix/art/make_artwork.py            # write the art
    /usr/bin/python3 resources/sulvantix/art/make_artwork.py --preview DIR   # and previews

Deterministic: the same Pillow and the same fonts give the same bytes.
"""
import argparse
import json
import math
import os
import struct

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
ICON_PATH = os.path.join(HERE, "..", "sulvantix.ico")
SESSION_ICON_PATH = os.path.join(HERE, "..", "sulvantix-session.ico")
FONT_DIR = "/usr/share/fonts/truetype/crosextra"
FONT_BOLD = os.path.join(FONT_DIR, "Carlito-Bold.ttf")
FONT_REGULAR = os.path.join(FONT_DIR, "Carlito-Regular.ttf")

SS = 4  # supersampling factor of anti-aliased shapes

# Palette: a navy title band, white and cool-grey surfaces, one blue accent
# (the captions' own RGB(30, 144, 255)) fading into teal.
NAVY_DARK = (17, 41, 69)
NAVY = (24, 56, 92)
NAVY_RIGHT = (30, 72, 118)
FRAME = (12, 30, 52)
ACCENT = (30, 144, 255)
ACCENT_TEAL = (38, 190, 170)
BODY = (255, 255, 255)
SIDEBAR = (238, 243, 249)
SIDEBAR_EDGE = (212, 222, 234)
FOOTER = (243, 246, 250)
HAIRLINE = (226, 232, 240)
WELL_RING = (184, 201, 222)
MARKER = (30, 144, 255)
SHADOW = (16, 42, 74)
MOTIF = (208, 220, 234)
ORBIT = (200, 216, 236)
ORBIT_NODE = (172, 196, 226)
NODE_HOT = (120, 184, 250)

# Caption faces (Add, Remove, Update, Vettor, OK): the program draws their
# caption in ACCENT, so every enabled face stays light.
FACE_TOP = (255, 255, 255)
FACE_BOTTOM = (236, 242, 249)
FACE_BORDER = (164, 187, 214)
FACE_BOTTOM_EDGE = (214, 224, 236)
DOWN_TOP = (219, 234, 251)
DOWN_BOTTOM = (236, 245, 254)
DOWN_BORDER = (60, 140, 226)
DOWN_INNER = (196, 218, 242)
OFF_FACE = (238, 240, 243)
OFF_BORDER = (206, 211, 217)

# Title buttons on the band.
TILE = (38, 80, 126)
TILE_HOT = (52, 120, 196)
TILE_CLOSE_HOT = (214, 72, 66)
TILE_GLYPH = (226, 236, 247)

# Start (green) and Stop (coral) pictures.
GO = {"top": (46, 184, 124), "bottom": (28, 150, 98), "edge": (22, 124, 80)}
GO_HOT = {"top": (60, 200, 138), "bottom": (34, 168, 110), "edge": (24, 136, 88)}
GO_DOWN = {"top": (26, 138, 90), "bottom": (32, 154, 100), "edge": (18, 108, 70)}
HALT = {"top": (236, 98, 88), "bottom": (206, 66, 58), "edge": (178, 52, 46)}
HALT_HOT = {"top": (246, 116, 106), "bottom": (220, 78, 70), "edge": (190, 58, 52)}
HALT_DOWN = {"top": (190, 56, 50), "bottom": (208, 68, 60), "edge": (160, 44, 40)}
PILL_OFF = {"top": (224, 228, 233), "bottom": (212, 217, 223), "edge": (186, 193, 201)}
PILL_OFF_INK = (124, 134, 146)

# Per display class: picture sizes and resource ids (the main window's and
# the message box's tables), and where the title buttons go.
CLASSES = {
    96: {
        "main": (534, 414),
        "box": (327, 146),
        "main_id": 172,
        "box_id": 224,
        "scale": 1.0,
        "band": 54,
        "title_moves": None,
    },
    120: {
        "main": (650, 555),
        "box": (384, 180),
        "main_id": 222,
        "box_id": 225,
        "scale": 1.25,
        "band": 66,
        "title_moves": ((575, 6), (600, 6), (625, 6)),
    },
    98120: {
        "main": (730, 555),
        "box": (436, 182),
        "main_id": 223,
        "box_id": 226,
        "scale": 1.25,
        "band": 66,
        "title_moves": ((650, 6), (675, 6), (700, 6)),
    },
}

MASK_102 = (102, 28)
MASK_141 = (141, 28)
PICTURE_BUTTON = (156, 50)
HIDDEN_BUTTON = (100, 30)
TITLE_BITMAP = (20, 20)
TITLE_MOVED_SIZE = 30
BUTTON_RADIUS = 7
TILE_SIZE = 18

# Controls of template 102 by role.
IDS_MASKED_102 = (131, 1003, 1019)
ID_VETTOR = 1007
ID_START = 1014
IDS_TITLE = (1018, 1020, 1021)
IDS_WELLS = (1000, 1006, 1009, 1001)
ID_LIST = 1001
ID_HINT_START, ID_HINT_MANUAL, ID_HINT_TIMER = 1033, 1023, 1016
ID_LIST_HEADING = 1032
ID_STATUS = 1017
ID_MESSAGE = 1020
ID_OK = 1


# --------------------------------------------------------------------------
# Layout


def load_layout(dpi_class):
    with open(os.path.join(HERE, "layout-%d.json" % dpi_class)) as f:
        data = json.load(f)
    dialogs = {d["id"]: d for d in data["dialogs"]}
    return data, dialogs[102], dialogs[155]


def rects_of(dialog):
    return {c["id"]: tuple(c["rect"]) for c in dialog["controls"]}


def effective_main(dpi_class):
    """Where each control of the main window shows once the program has set
    it up: masked buttons at their mask's size, title buttons moved."""
    _, main, _ = load_layout(dpi_class)
    r = rects_of(main)
    out = dict(r)
    for cid in IDS_MASKED_102:
        x, y, _, _ = r[cid]
        out[cid] = (x, y) + MASK_102
    x, y, _, _ = r[ID_VETTOR]
    out[ID_VETTOR] = (x, y) + MASK_141
    moves = CLASSES[dpi_class]["title_moves"]
    if moves:
        for cid, (mx, my) in zip(IDS_TITLE, moves):
            out[cid] = (mx, my, TITLE_MOVED_SIZE, TITLE_MOVED_SIZE)
    return out


def effective_box(dpi_class):
    _, _, box = load_layout(dpi_class)
    r = rects_of(box)
    x, y, _, _ = r[ID_OK]
    r[ID_OK] = (x, y) + MASK_102
    return r


def bitmap_part(rect, size):
    """The part of a draw-mode-0 control that its bitmap covers."""
    x, y, w, h = rect
    return (x, y, min(w, size[0]), min(h, size[1]))


# --------------------------------------------------------------------------
# Drawing helpers


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def vertical_gradient(size, top, bottom):
    w, h = size
    img = Image.new("RGB", (w, h))
    d = ImageDraw.Draw(img)
    for y in range(h):
        d.line([(0, y), (w - 1, y)], fill=mix(top, bottom, y / max(1, h - 1)))
    return img


def horizontal_gradient(size, left, right, flat_from=None):
    """Left to right; from x = flat_from on the colour stays `right`."""
    w, h = size
    end = w if flat_from is None else flat_from
    img = Image.new("RGB", (w, h))
    d = ImageDraw.Draw(img)
    for x in range(w):
        d.line([(x, 0), (x, h - 1)], fill=mix(left, right, min(1.0, x / max(1, end - 1))))
    return img


def rounded_coverage(size, box, radius):
    """Anti-aliased coverage (mode L) of a rounded rectangle; box in pixels,
    edges on pixel boundaries (x0, y0, x1, y1 exclusive)."""
    w, h = size
    big = Image.new("L", (w * SS, h * SS), 0)
    x0, y0, x1, y1 = box
    ImageDraw.Draw(big).rounded_rectangle(
        [x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1], radius=radius * SS, fill=255
    )
    return big.reduce(SS)


def ellipse_coverage(size, box):
    w, h = size
    big = Image.new("L", (w * SS, h * SS), 0)
    x0, y0, x1, y1 = box
    ImageDraw.Draw(big).ellipse([x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1], fill=255)
    return big.reduce(SS)


def polygon_coverage(size, points):
    w, h = size
    big = Image.new("L", (w * SS, h * SS), 0)
    ImageDraw.Draw(big).polygon([(x * SS, y * SS) for x, y in points], fill=255)
    return big.reduce(SS)


def lines_coverage(size, segments, width):
    w, h = size
    big = Image.new("L", (w * SS, h * SS), 0)
    d = ImageDraw.Draw(big)
    r = width * SS / 2.0
    for (ax, ay), (bx, by) in segments:
        d.line([(ax * SS, ay * SS), (bx * SS, by * SS)], fill=255, width=int(round(width * SS)))
        for px, py in ((ax, ay), (bx, by)):
            d.ellipse([px * SS - r, py * SS - r, px * SS + r, py * SS + r], fill=255)
    return big.reduce(SS)


def paint(img, colour_or_image, coverage, offset=(0, 0)):
    """Paints a colour (or an image of the coverage's size) through an
    anti-aliased coverage mask."""
    if isinstance(colour_or_image, tuple):
        src = Image.new("RGB", coverage.size, colour_or_image)
    else:
        src = colour_or_image
    img.paste(src, offset, coverage)


def fade(coverage, alpha):
    return coverage.point(lambda v: int(round(v * alpha)))


def soft_shadow(img, box, radius, blur, alpha, offset=(0, 1), colour=SHADOW):
    """A blurred rounded shadow under a box given in img's pixels."""
    pad = blur * 3 + 2
    x0, y0, x1, y1 = box
    w, h = x1 - x0 + 2 * pad, y1 - y0 + 2 * pad
    cov = rounded_coverage((w, h), (pad, pad, pad + x1 - x0, pad + y1 - y0), radius)
    cov = cov.filter(ImageFilter.GaussianBlur(blur))
    paint(img, colour, fade(cov, alpha), (x0 - pad + offset[0], y0 - pad + offset[1]))


def text_size(font, text):
    l, t, r, b = font.getbbox(text)
    return r - l, b - t, l, t


def draw_text(img, xy, text, font, colour):
    """Anti-aliased text with its ink box's top-left at xy."""
    d = ImageDraw.Draw(img)
    _, _, l, t = text_size(font, text)
    d.text((xy[0] - l, xy[1] - t), text, font=font, fill=colour)


# --------------------------------------------------------------------------
# The brand mark: a blue disc with two arrows chasing each other round it
# (one proxy after another) about a white core.


def _disc(n, light, dark):
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    disc = Image.new("L", (n, n), 0)
    ImageDraw.Draw(disc).ellipse([0, 0, n - 1, n - 1], fill=255)
    grad = Image.new("RGB", (n, n))
    gd = ImageDraw.Draw(grad)
    for i in range(2 * n):
        gd.line([(i, 0), (0, i)], fill=mix(light, dark, i / (2 * n - 1)))
    img.paste(grad, (0, 0), disc)
    return img, disc


def _arrow_arcs(draw, c, radius, stroke, arcs):
    """Arcs drawn clockwise (PIL's angles) from start to end, each with an
    arrowhead at its end pointing the way round."""
    for start, end in arcs:
        draw.arc([c - radius, c - radius, c + radius, c + radius], start, end, fill=255,
                 width=int(round(stroke)))
        a = math.radians(end)
        px, py = c + radius * math.cos(a), c + radius * math.sin(a)
        tx, ty = -math.sin(a), math.cos(a)
        nx, ny = math.cos(a), math.sin(a)
        half = stroke * 1.15
        draw.polygon(
            [
                (px + tx * stroke * 1.5, py + ty * stroke * 1.5),
                (px + nx * half, py + ny * half),
                (px - nx * half, py - ny * half),
            ],
            fill=255,
        )


def emblem(size):
    """The brand mark, RGBA, size x size: a blue disc, two white arrows
    chasing each other round a white core (one proxy after the other)."""
    k = 8
    n = size * k
    img, disc = _disc(n, (70, 168, 255), (20, 92, 190))
    mark = Image.new("L", (n, n), 0)
    d = ImageDraw.Draw(mark)
    c = (n - 1) / 2.0
    _arrow_arcs(d, c, n * 0.285, n * 0.095, ((205, 320), (25, 140)))
    core = n * 0.095
    d.ellipse([c - core, c - core, c + core, c + core], fill=255)
    img.paste(Image.new("RGBA", (n, n), (255, 255, 255, 255)), (0, 0),
              ImageChops.multiply(mark, disc))
    return img.resize((size, size), Image.LANCZOS)


def icon_mark(size):
    """The icon: the brand mark; at 16 pixels the core would smear into the
    arrows, so the smallest has bolder arrows and no core."""
    if size >= 32:
        return emblem(size)
    k = 8
    n = size * k
    img, disc = _disc(n, (70, 168, 255), (20, 92, 190))
    mark = Image.new("L", (n, n), 0)
    d = ImageDraw.Draw(mark)
    c = (n - 1) / 2.0
    _arrow_arcs(d, c, n * 0.30, n * 0.13, ((200, 310), (20, 130)))
    img.paste(Image.new("RGBA", (n, n), (255, 255, 255, 255)), (0, 0),
              ImageChops.multiply(mark, disc))
    return img.resize((size, size), Image.LANCZOS)


SESSION_BADGE = (46, 204, 113)


def session_icon_mark(size):
    """The notification area's look while a session is on: the mark with a
    green "on" dot in its lower-right corner, ringed in white so it stays
    apart from the blue disc at 16 pixels."""
    k = 8
    n = size * k
    outer = n * (0.50 if size < 32 else 0.42)
    inner = outer * 0.70
    c = n - outer / 2 - 0.5
    masks = []
    for diameter in (outer, inner):
        m = Image.new("L", (n, n), 0)
        r = diameter / 2
        ImageDraw.Draw(m).ellipse([c - r, c - r, c + r, c + r], fill=255)
        masks.append(m.resize((size, size), Image.LANCZOS))
    img = icon_mark(size)
    img.paste(Image.new("RGBA", (size, size), (255, 255, 255, 255)), (0, 0), masks[0])
    img.paste(Image.new("RGBA", (size, size), SESSION_BADGE + (255,)), (0, 0), masks[1])
    return img


# --------------------------------------------------------------------------
# Main window backgrounds


def main_background(dpi_class):
    display_class = CLASSES[dpi_class]
    W, H = display_class["main"]
    s = display_class["scale"]
    r = effective_main(dpi_class)
    img = Image.new("RGB", (W, H), BODY)
    d = ImageDraw.Draw(img)

    band = display_class["band"]
    # Right-hand column: from halfway between the left column's buttons and
    # the list to the picture's right edge, or to the decoration at 98120.
    left_right = max(r[c][0] + r[c][2] for c in (131, 1003))
    column_x = (left_right + r[ID_LIST][0]) // 2
    # Where the controls leave more than 90 pixels on the right (98120, whose
    # picture is wider than the window's controls need), a decoration panel.
    deco_x = W
    start_right = r[ID_START][0] + r[ID_START][2]
    if W - start_right > 90:
        deco_x = start_right + 13
    # Footer: below the timer row, holding the (empty) status line.
    footer_y = r[ID_STATUS][1] - int(12 * s)

    # Column and footer surfaces.
    d.rectangle([column_x, band, deco_x - 1, footer_y - 1], fill=SIDEBAR)
    d.line([(column_x, band), (column_x, footer_y - 1)], fill=SIDEBAR_EDGE)
    d.rectangle([0, footer_y, W - 1, H - 1], fill=FOOTER)
    d.line([(0, footer_y), (W - 1, footer_y)], fill=SIDEBAR_EDGE)

    if deco_x < W:
        deco = vertical_gradient((W - deco_x, footer_y - band), (226, 236, 248), (206, 222, 242))
        img.paste(deco, (deco_x, band))
        d.line([(deco_x, band), (deco_x, footer_y - 1)], fill=SIDEBAR_EDGE)
        draw_orbits(img, (deco_x, band, W, footer_y), s)

    network_motif(img, (0, footer_y + 1, W, H - 3), r, s)

    # Left column: hairlines between the three groups, a blue marker by each
    # group's first line.
    hint_start, hint_manual, hint_timer = r[ID_HINT_START], r[ID_HINT_MANUAL], r[ID_HINT_TIMER]
    vettor = r[ID_VETTOR]
    lx0 = hint_start[0]
    lx1 = column_x - int(14 * s)
    for y in (
        (hint_start[1] + hint_start[3] + hint_manual[1]) // 2,
        (vettor[1] + vettor[3] + hint_timer[1]) // 2,
    ):
        d.line([(lx0, y), (lx1, y)], fill=HAIRLINE)
    mw = max(3, int(round(3 * s)))
    for hint in (hint_start, hint_manual, hint_timer):
        mx = hint[0] - int(11 * s)
        my = hint[1] + int(2 * s)
        cov = rounded_coverage((mw, int(15 * s)), (0, 0, mw, int(15 * s)), mw / 2.0)
        paint(img, MARKER, cov, (mx, my))
    # The list heading gets a marker of its own, in the right-hand column.
    heading = r[ID_LIST_HEADING]
    cov = rounded_coverage((mw, int(15 * s)), (0, 0, mw, int(15 * s)), mw / 2.0)
    paint(img, MARKER, cov, (heading[0] - int(7 * s) - mw + 2, heading[1] + int(2 * s)))

    # Wells round the fields and the list: a soft shadow and a ring just
    # outside each control, which paints its own face.
    for cid in IDS_WELLS:
        x, y, w, h = r[cid]
        soft_shadow(img, (x - 2, y - 2, x + w + 2, y + h + 2), 4, 2, 0.10, (0, 1))
        ring_box = (x - 2, y - 2, x + w + 2, y + h + 2)
        paint_ring(img, ring_box, 3, WELL_RING, (255, 255, 255))

    # Masked buttons: a soft shadow under the mask's outline.
    for cid in IDS_MASKED_102 + (ID_VETTOR,):
        x, y, w, h = r[cid]
        soft_shadow(img, (x, y, x + w, y + h), BUTTON_RADIUS, 2, 0.22, (0, 1))

    # Title band with the brand, an accent line under it.
    draw_band(img, (0, 0, W, band), s, brand=True)
    accent = horizontal_gradient((W, max(2, int(round(2 * s)))), ACCENT, ACCENT_TEAL)
    img.paste(accent, (0, band))

    # The frame: 1 pixel, with the window region hiding the picture's first
    # row and column at 98120, 2 pixels there on the left and top.
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, W - 1, H - 1], outline=FRAME)
    if dpi_class == 98120:
        d.line([(1, 1), (W - 1, 1)], fill=FRAME)
        d.line([(1, 1), (1, H - 1)], fill=FRAME)
    return img


def paint_ring(img, box, radius, ring, inner):
    x0, y0, x1, y1 = box
    size = (x1 - x0, y1 - y0)
    outer = rounded_coverage(size, (0, 0) + size, radius)
    inside = rounded_coverage(size, (1, 1, size[0] - 1, size[1] - 1), max(0, radius - 1))
    paint(img, ring, outer, (x0, y0))
    paint(img, inner, inside, (x0, y0))


def draw_band(img, box, s, brand, small=False):
    x0, y0, x1, y1 = box
    W = x1 - x0
    h = y1 - y0
    # Flat over the last 120 pixels, where the title buttons sit, so their
    # bitmaps' edges meet one colour at every class.
    band = horizontal_gradient((W, h), NAVY_DARK, NAVY_RIGHT, flat_from=max(1, W - 120))
    img.paste(band, (x0, y0))
    if not brand:
        return
    mark = int(round((20 if small else 32) * s))
    mx = x0 + int(round((10 if small else 16) * s))
    my = y0 + (h - mark) // 2
    e = emblem(mark)
    img.paste(e, (mx, my), e)
    font = ImageFont.truetype(FONT_BOLD, int(round((15 if small else 27) * s)))
    # Cap height centred on the band: measured on a letter without descender.
    _, ch, _, _ = text_size(font, "S")
    tx = mx + mark + int(round((7 if small else 11) * s))
    ty = y0 + (h - ch) // 2
    draw_text(img, (tx, ty), "Sulvantix", font, (255, 255, 255))


def draw_orbits(img, box, s):
    """Quiet concentric orbits with a few nodes on them, for the side panels
    that the wider 98120 pictures have to spare."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    big = Image.new("L", (w * SS, h * SS), 0)
    d = ImageDraw.Draw(big)
    cx, cy = w * 1.15, h * 0.80
    radii = [h * f for f in (0.30, 0.52, 0.74, 0.96)]
    for R in radii:
        d.ellipse([(cx - R) * SS, (cy - R) * SS, (cx + R) * SS, (cy + R) * SS], outline=255,
                  width=int(1.2 * s * SS))
    paint(img, ORBIT, big.reduce(SS), (x0, y0))
    if w < 80:
        return
    # A node on each orbit, spread across the panel; the second is the accent.
    for i, (R, f) in enumerate(zip(radii, (0.30, 0.62, 0.22, 0.55))):
        c = (w * f - cx) / R
        if abs(c) > 1:
            continue
        nx = x0 + w * f
        ny = y0 + cy - R * math.sqrt(1 - c * c)
        if not (y0 + 8 < ny < y1 - 8):
            continue
        node(img, (nx, ny), (3.6 if i != 1 else 4.4) * s, ORBIT_NODE if i != 1 else NODE_HOT)


def node(img, centre, radius, ring):
    x, y = centre
    size = img.size
    paint(img, ring, ellipse_coverage(size, (x - radius, y - radius, x + radius, y + radius)))
    inner = radius - 1.4
    paint(img, (255, 255, 255), ellipse_coverage(size, (x - inner, y - inner, x + inner,
                                                       y + inner)))


def network_motif(img, box, r, s):
    """A light chain of nodes along the footer, right of the status line:
    proxies, one after the other."""
    x0, y0, x1, y1 = box
    status = r[ID_STATUS]
    start_x = status[0] + status[2] + int(20 * s)
    if start_x > x1 - 60:
        return
    h = y1 - y0
    cy = y0 + h * 0.45
    nodes = []
    count = 6
    span = (x1 - int(24 * s)) - start_x
    for i in range(count):
        x = start_x + span * i / (count - 1)
        y = cy + math.sin(i * 1.3) * h * 0.18
        nodes.append((x, y))
    size = img.size
    links = lines_coverage(size, list(zip(nodes, nodes[1:])), 1.2 * s)
    paint(img, MOTIF, links)
    for i, (x, y) in enumerate(nodes):
        hot = i == count - 2
        node(img, (x, y), (4.2 if hot else 3.2) * s, NODE_HOT if hot else MOTIF)


# --------------------------------------------------------------------------
# Message box backgrounds


def box_background(dpi_class):
    display_class = CLASSES[dpi_class]
    W, H = display_class["box"]
    s = display_class["scale"]
    r = effective_box(dpi_class)
    img = Image.new("RGB", (W, H), BODY)
    d = ImageDraw.Draw(img)
    message = r[ID_MESSAGE]
    ok = r[ID_OK]
    strip = min(message[1] - int(12 * s), int(round(28 * s)))

    # At 98120 the picture is wider than the box's controls need: a side
    # panel on the right keeps the light body centred under the message.
    body_right = W
    content_mid = message[0] + message[2] / 2.0
    if W - 2 * content_mid > 30:
        body_right = int(round(2 * content_mid))
    d.rectangle([0, strip, body_right - 1, H - 1], fill=BODY)
    # A faint lower surface behind the button, starting between the
    # message's last line and the button.
    lower = (message[1] + message[3] + ok[1]) // 2
    d.rectangle([0, lower, body_right - 1, H - 1], fill=FOOTER)
    d.line([(0, lower), (body_right - 1, lower)], fill=HAIRLINE)
    if body_right < W:
        side = vertical_gradient((W - body_right, H - strip), (226, 236, 248), (204, 220, 241))
        img.paste(side, (body_right, strip))
        d.line([(body_right, strip), (body_right, H - 1)], fill=SIDEBAR_EDGE)
        draw_orbits(img, (body_right, strip, W, H), s)

    soft_shadow(img, (ok[0], ok[1], ok[0] + ok[2], ok[1] + ok[3]), BUTTON_RADIUS, 2, 0.22)

    draw_band(img, (0, 0, W, strip), s, brand=True, small=True)
    accent = horizontal_gradient((W, 2), ACCENT, ACCENT_TEAL)
    img.paste(accent, (0, strip))

    # The box's region hides the first row and column: 2-pixel frame there.
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, W - 1, H - 1], outline=FRAME)
    d.line([(1, 1), (W - 1, 1)], fill=FRAME)
    d.line([(1, 1), (1, H - 1)], fill=FRAME)
    return img


# --------------------------------------------------------------------------
# Button bitmaps


def mask_image(size):
    """Strictly two colours: the program's region takes every non-white pixel
    as inside, so no grey edge pixels."""
    cov = rounded_coverage(size, (0, 0) + size, BUTTON_RADIUS)
    inside = cov.point(lambda v: 255 if v >= 128 else 0)
    img = Image.new("RGB", size, (255, 255, 255))
    img.paste((0, 0, 0), (0, 0), inside)
    return img


def caption_face(size, state, behind):
    """A captioned button's face: light in every enabled state so that the
    program's blue caption reads; the mask cuts it, and edge pixels are mixed
    with what lies behind the button in the background picture."""
    w, h = size
    full = rounded_coverage(size, (0, 0, w, h), BUTTON_RADIUS)
    inner = rounded_coverage(size, (1, 1, w - 1, h - 1), BUTTON_RADIUS - 1)
    face = Image.new("RGB", size, behind)
    if state == "normal":
        paint(face, FACE_BORDER, full)
        paint(face, vertical_gradient(size, FACE_TOP, FACE_BOTTOM), inner)
        d = ImageDraw.Draw(face)
        # A lighter bottom edge inside the border: the face sits up a little.
        d.line([(BUTTON_RADIUS, h - 2), (w - 1 - BUTTON_RADIUS, h - 2)], fill=FACE_BOTTOM_EDGE)
    elif state == "down":
        paint(face, DOWN_BORDER, full)
        paint(face, vertical_gradient(size, DOWN_TOP, DOWN_BOTTOM), inner)
        # Inner shadow along the top and left: the face is pushed in.
        top = vertical_gradient((w, 5), DOWN_INNER, DOWN_TOP)
        face.paste(top, (0, 1), inner.crop((0, 1, w, 6)))
        left = horizontal_gradient((3, h), DOWN_INNER, DOWN_TOP)
        face.paste(left, (1, 0), ImageChops.multiply(inner.crop((1, 0, 4, h)),
                                                     vertical_gradient((3, h), (255,) * 3,
                                                                       (120,) * 3).convert("L")))
    else:  # disabled: flat and grey, no light or shade
        paint(face, OFF_BORDER, full)
        paint(face, OFF_FACE, inner)
    # Edge pixels: mix by coverage with the background behind the button.
    out = Image.new("RGB", size, behind)
    out.paste(face, (0, 0), full)
    return out


def pill_picture(kind, state):
    """Start or Stop: 156 x 50, drawn at natural size into the top-left of the
    larger control; the two rows and columns past the pill are the column's
    surface, as is the background under the rest of the control."""
    size = PICTURE_BUTTON
    w, h = size
    img = Image.new("RGB", size, SIDEBAR)
    colours = {
        ("start", "normal"): GO,
        ("start", "over"): GO_HOT,
        ("start", "down"): GO_DOWN,
        ("stop", "normal"): HALT,
        ("stop", "over"): HALT_HOT,
        ("stop", "down"): HALT_DOWN,
    }.get((kind, state), PILL_OFF)
    pill = (1, 1, w - 3, h - 5)
    radius = (pill[3] - pill[1]) // 2
    shift = 1 if state == "down" else 0
    if state in ("normal", "over"):
        soft_shadow(img, pill, radius, 2, 0.30, (0, 2))
    elif state == "down":
        soft_shadow(img, pill, radius, 1, 0.18, (0, 1))
    px = (pill[0] + shift, pill[1] + shift, pill[2] + shift, pill[3] + shift)
    outer = rounded_coverage(size, px, radius)
    inner = rounded_coverage(size, (px[0] + 1, px[1] + 1, px[2] - 1, px[3] - 1), radius - 1)
    paint(img, colours["edge"], outer)
    paint(img, vertical_gradient(size, colours["top"], colours["bottom"]), inner)
    if state in ("normal", "over"):
        # A soft highlight over the upper half.
        gloss = rounded_coverage(size, (px[0] + 3, px[1] + 2, px[2] - 3, (px[1] + px[3]) // 2),
                                 radius - 3)
        paint(img, (255, 255, 255), fade(gloss, 0.12))
    elif state == "down":
        shade = rounded_coverage(size, (px[0] + 1, px[1] + 1, px[2] - 1, px[1] + 6), radius - 1)
        paint(img, (0, 0, 0), fade(ImageChops.multiply(shade, inner), 0.10))

    # Disabled: grey lettering on a flat light face, still plainly "Start".
    ink = (255, 255, 255) if state != "disabled" else PILL_OFF_INK
    glyph_bg = colours["bottom"] if state != "disabled" else PILL_OFF["top"]
    font = ImageFont.truetype(FONT_BOLD, 26)
    label = "Start" if kind == "start" else "Stop"
    tw, _, _, _ = text_size(font, label)
    _, cap, _, _ = text_size(font, "S")
    disc = 26
    gap = 10
    total = disc + gap + tw
    cx0 = px[0] + (px[2] - px[0] - total) // 2
    cy = (px[1] + px[3]) / 2.0
    # The glyph: a white disc with a play triangle or a stop square in it.
    dbox = (cx0, cy - disc / 2.0, cx0 + disc, cy + disc / 2.0)
    paint(img, ink, ellipse_coverage(size, dbox))
    gcx, gcy = cx0 + disc / 2.0, cy
    if kind == "start":
        tri = [(gcx - 3.5, gcy - 6.5), (gcx - 3.5, gcy + 6.5), (gcx + 7, gcy)]
        paint(img, glyph_bg, polygon_coverage(size, tri))
    else:
        sq = 9.5
        paint(img, glyph_bg,
              rounded_coverage(size, (int(gcx - sq / 2), int(gcy - sq / 2),
                                      int(gcx - sq / 2) + 10, int(gcy - sq / 2) + 10), 2))
    ty = int(round(cy - cap / 2.0))
    # A faint darker copy under the lettering lifts it off the face.
    if state != "disabled":
        draw_text(img, (cx0 + disc + gap, ty + 1), label, font, colours["edge"])
    draw_text(img, (cx0 + disc + gap, ty), label, font, ink)
    return img


def title_bitmap(kind, hot):
    """20 x 20: an 18-pixel tile in the top-left corner on the band's colour.
    At class 96 the control is 20 x 18 and cuts the last two rows, which are
    band; at 120 and 98120 the control is 30 x 30 and the band shows round
    the bitmap."""
    size = TITLE_BITMAP
    img = Image.new("RGB", size, NAVY_RIGHT)
    tile = (0, 0, TILE_SIZE, TILE_SIZE)
    fill = TILE
    if hot:
        fill = TILE_CLOSE_HOT if kind == "close" else TILE_HOT
    paint(img, fill, rounded_coverage(size, tile, 4))
    c = TILE_SIZE / 2.0
    ink = (255, 255, 255) if hot else TILE_GLYPH
    if kind == "close":
        a = 4.6
        segs = [((c - a, c - a), (c + a, c + a)), ((c - a, c + a), (c + a, c - a))]
        paint(img, ink, lines_coverage(size, segs, 1.8))
    elif kind == "minimise":
        segs = [((c - 4.8, c + 4.0), (c + 4.8, c + 4.0))]
        paint(img, ink, lines_coverage(size, segs, 2.0))
    else:
        font = ImageFont.truetype(FONT_BOLD, 15)
        gw, gh, _, _ = text_size(font, "?")
        draw_text(img, (int(round(c - gw / 2.0)), int(round(c - gh / 2.0))), "?", font, ink)
    return img


def hidden_face(state):
    """The window's cancel button is never shown; it has a plain face all the
    same, so that nothing is missing should it ever be."""
    size = HIDDEN_BUTTON
    return caption_face(size, {"normal": "normal", "down": "down"}.get(state, "disabled"), BODY)


# --------------------------------------------------------------------------
# Icon


def icon_file(mark=None, sizes=(16, 32, 48)):
    """An .ico with one 32-bit image (BGRA plus AND mask) per size."""
    mark = mark or icon_mark
    images = []
    for size in sizes:
        im = mark(size)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        colour = bytearray()
        mask = bytearray()
        stride = ((size + 31) // 32) * 4
        px = im.load()
        for y in reversed(range(size)):
            row = bytearray(stride)
            for x in range(size):
                r, g, b, a = px[x, y]
                colour += bytes((b, g, r, a))
                if a == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        images.append(header + bytes(colour) + bytes(mask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


# --------------------------------------------------------------------------
# Output


def save_jpeg(img, name):
    img.save(os.path.join(HERE, name), "JPEG", quality=92, subsampling=0, optimize=True,
             progressive=False)


def save_bmp(img, name):
    img.convert("RGB").save(os.path.join(HERE, name), "BMP")


def outputs():
    """(file name, image maker) of every generated file but the icon."""
    jobs = []
    for dpi_class in CLASSES:
        jobs.append(("main-%d.jpg" % dpi_class, lambda c=dpi_class: main_background(c), "jpeg"))
        jobs.append(("message-%d.jpg" % dpi_class, lambda c=dpi_class: box_background(c), "jpeg"))
    for kind in ("start", "stop"):
        for state in ("normal", "down", "over", "disabled"):
            jobs.append(("%s-%s.bmp" % (kind, state),
                         lambda k=kind, st=state: pill_picture(k, st), "bmp"))
    # What lies behind each captioned button in the background pictures.
    behind = {"add": BODY, "remove": BODY, "vettor": BODY, "update": SIDEBAR, "ok": FOOTER}
    for name, colour in behind.items():
        size = MASK_141 if name == "vettor" else MASK_102
        for state in ("normal", "down", "disabled"):
            jobs.append(("%s-%s.bmp" % (name, state),
                         lambda sz=size, st=state, c=colour: caption_face(sz, st, c), "bmp"))
    jobs.append(("mask-102x28.bmp", lambda: mask_image(MASK_102), "bmp"))
    jobs.append(("mask-141x28.bmp", lambda: mask_image(MASK_141), "bmp"))
    for state in ("normal", "down", "disabled"):
        jobs.append(("cancel-%s.bmp" % state, lambda st=state: hidden_face(st), "bmp"))
    for kind in ("help", "minimise", "close"):
        jobs.append(("%s-normal.bmp" % kind, lambda k=kind: title_bitmap(k, False), "bmp"))
        jobs.append(("%s-down.bmp" % kind, lambda k=kind: title_bitmap(k, True), "bmp"))
    return jobs


def write_all():
    made = {}
    for name, make, kind in outputs():
        img = make()
        (save_jpeg if kind == "jpeg" else save_bmp)(img, name)
        made[name] = img
    with open(ICON_PATH, "wb") as f:
        f.write(icon_file())
    with open(SESSION_ICON_PATH, "wb") as f:
        f.write(icon_file(session_icon_mark))
    return made


# --------------------------------------------------------------------------
# Previews: the windows roughly as the program shows them, for looking at the
# art while it is made. Not kept in the tree.

DESKTOP = (96, 110, 128)
CAPTION_BLUE = (30, 144, 255)
GRAY_TEXT = (128, 128, 128)
LABELS = {
    ID_HINT_START: ("Click here to start Sulvantix :-", False),
    ID_HINT_MANUAL: ("You can also manually insert your own proxy address here", False),
    ID_LIST_HEADING: ("Anonymous Proxy Address", False),
    1010: ("Proxy Address", True),
    1012: ("Port No", True),
    ID_HINT_TIMER: ("You can set timer between two proxy addresses.", False),
    1013: ("Timer (seconds)", True),
}
CAPTIONS = {131: "Add", 1003: "Remove", 1019: "Update", ID_VETTOR: "Vettor"}


def gdi_font(height, bold):
    """Carlito at a LOGFONT cell height (Calibri's ascent and descent are
    1950 and 550 units of 2048 to the em)."""
    return ImageFont.truetype(FONT_BOLD if bold else FONT_REGULAR,
                              int(round(height * 2048 / 2500.0)))


def draw_wrapped(d, rect, text, font, colour):
    x, y, w, h = rect
    words = text.split(" ")
    line = ""
    lines = []
    for word in words:
        trial = (line + " " + word).strip()
        if d.textlength(trial, font=font) <= w or not line:
            line = trial
        else:
            lines.append(line)
            line = word
    lines.append(line)
    asc, desc = font.getmetrics()
    step = int(round((asc + desc) * 2500 / 2048.0))
    for i, ln in enumerate(lines):
        if i > 0 and (i + 1) * step > h + 2:
            break
        d.text((x, y + i * step + 1), ln, font=font, fill=colour)


def caption(img, rect, text, colour, shift=0):
    d = ImageDraw.Draw(img)
    font = gdi_font(20, True)
    x, y, w, h = rect
    tw = d.textlength(text, font=font)
    asc, desc = font.getmetrics()
    cell = int(round((asc + desc) * 2500 / 2048.0))
    tx = x + 2 + (w - 4 - tw) / 2.0 + shift
    ty = y + (h - cell) / 2.0 + shift + (cell - asc - desc) * 0.78
    d.text((tx, ty), text, font=font, fill=colour)


def put_masked(img, rect, bitmap, mask):
    x, y, w, h = rect
    inside = mask.convert("L").point(lambda v: 255 if v < 255 else 0)
    img.paste(bitmap.crop((0, 0, w, h)), (x, y), inside.crop((0, 0, w, h)))


def sunken(d, rect, face=(255, 255, 255)):
    x, y, w, h = rect
    d.rectangle([x, y, x + w - 1, y + h - 1], fill=face)
    d.line([(x, y), (x + w - 1, y)], fill=(160, 160, 160))
    d.line([(x, y), (x, y + h - 1)], fill=(160, 160, 160))
    d.line([(x + 1, y + 1), (x + w - 2, y + 1)], fill=(105, 105, 105))
    d.line([(x + 1, y + 1), (x + 1, y + h - 2)], fill=(105, 105, 105))
    d.line([(x, y + h - 1), (x + w - 1, y + h - 1)], fill=(240, 240, 240))
    d.line([(x + w - 1, y), (x + w - 1, y + h - 1)], fill=(240, 240, 240))


def preview_main(dpi_class, made, states, outline):
    display_class = CLASSES[dpi_class]
    W, H = display_class["main"]
    r = effective_main(dpi_class)
    client = (W + 3, H + 3)
    win = Image.new("RGB", client, (0, 0, 0))
    win.paste(made["main-%d.jpg" % dpi_class], (0, 0))
    d = ImageDraw.Draw(win)
    label_font = gdi_font(18, False)
    label_bold = gdi_font(18, True)
    for cid, (text, bold) in LABELS.items():
        draw_wrapped(d, r[cid], text, label_bold if bold else label_font, (0, 0, 0))
    # Fields and list as Wine draws them.
    sunken(d, r[1000])
    ip = r[1000]
    small = gdi_font(16, False)
    for i in range(1, 4):
        d.text((ip[0] + ip[2] * i / 4.0 - 2, ip[1] + 3), ".", font=small, fill=(0, 0, 0))
    x, y, w, h = r[1006]
    d.rectangle([x, y, x + w - 1, y + h - 1], fill=(255, 255, 255), outline=(0, 0, 0))
    x, y, w, h = r[1009]
    d.rectangle([x, y, x + w - 1, y + h - 1], fill=(255, 255, 255), outline=(150, 160, 170))
    d.rectangle([x + w - 17, y + 1, x + w - 2, y + h - 2], fill=(225, 228, 232))
    d.polygon([(x + w - 13, y + h / 2 - 2), (x + w - 6, y + h / 2 - 2), (x + w - 9.5, y + h / 2 + 2)],
              fill=(40, 40, 40))
    d.text((x + 4, y + 3), "60 Sec", font=small, fill=(0, 0, 0))
    x, y, w, h = r[ID_LIST]
    d.rectangle([x, y, x + w - 1, y + h - 1], fill=(255, 255, 255), outline=(0, 0, 0))
    d.rectangle([x + w - 18, y + 1, x + w - 2, y + h - 2], fill=(232, 232, 232))
    for i, entry in enumerate(("10.0.0.12:8080", "10.0.4.7:3128", "192.0.2.44:80",
                               "198.51.100.9:8000", "203.0.113.5:3128")):
        if 3 + (i + 1) * 16 > h:
            break
        if i == 0:
            d.rectangle([x + 1, y + 2 + i * 16, x + w - 19, y + 17 + i * 16], fill=(0, 120, 215))
        d.text((x + 4, y + 2 + i * 16), entry, font=small,
               fill=(255, 255, 255) if i == 0 else (0, 0, 0))
    # Buttons.
    mask102 = made["mask-102x28.bmp"]
    mask141 = made["mask-141x28.bmp"]
    names = {131: "add", 1003: "remove", 1019: "update", ID_VETTOR: "vettor"}
    for cid, name in names.items():
        state = states.get(cid, "normal")
        bitmap = made["%s-%s.bmp" % (name, "down" if state in ("down", "over") else state)]
        put_masked(win, r[cid], bitmap, mask141 if cid == ID_VETTOR else mask102)
        if state == "disabled":
            caption(win, r[cid], CAPTIONS[cid], (255, 255, 255))
            caption(win, r[cid], CAPTIONS[cid], GRAY_TEXT)
        else:
            caption(win, r[cid], CAPTIONS[cid], CAPTION_BLUE, 1 if state == "down" else 0)
    kind, state = states.get(ID_START, ("start", "normal"))
    bx, by, bw, bh = bitmap_part(r[ID_START], PICTURE_BUTTON)
    win.paste(made["%s-%s.bmp" % (kind, state)].crop((0, 0, bw, bh)), (bx, by))
    for cid, kind in zip(IDS_TITLE, ("help", "minimise", "close")):
        hot = states.get(cid) == "over"
        bx, by, bw, bh = bitmap_part(r[cid], TITLE_BITMAP)
        win.paste(made["%s-%s.bmp" % (kind, "down" if hot else "normal")].crop((0, 0, bw, bh)),
                  (bx, by))
    if outline:
        d = ImageDraw.Draw(win)
        _, main, _ = load_layout(dpi_class)
        for cid, (x, y, w, h) in rects_of(main).items():
            d.rectangle([x, y, x + w - 1, y + h - 1], outline=(255, 0, 200))
        for cid in IDS_MASKED_102 + (ID_VETTOR,) + (IDS_TITLE if display_class["title_moves"] else ()):
            x, y, w, h = r[cid]
            d.rectangle([x, y, x + w - 1, y + h - 1], outline=(0, 200, 80))
    # The window region: (0, 0)-(right - 2, bottom - 2), at 98120 (1, 1)-(right - 3, bottom - 3).
    if dpi_class == 98120:
        region = (1, 1, client[0] - 3, client[1] - 3)
    else:
        region = (0, 0, client[0] - 2, client[1] - 2)
    shot = Image.new("RGB", (client[0] + 24, client[1] + 24), DESKTOP)
    shot.paste(win.crop(region), (12 + region[0], 12 + region[1]))
    return shot


def preview_box(dpi_class, made, text, state="normal"):
    display_class = CLASSES[dpi_class]
    W, H = display_class["box"]
    r = effective_box(dpi_class)
    client = (W + 3, H + 3)
    win = Image.new("RGB", client, (0, 0, 0))
    win.paste(made["message-%d.jpg" % dpi_class], (0, 0))
    d = ImageDraw.Draw(win)
    x, y, w, h = r[ID_MESSAGE]
    font = gdi_font(18, False)
    tw = d.textlength(text, font=font)
    d.text((x + (w - tw) / 2.0, y + 1), text, font=font, fill=(0, 0, 0))
    bitmap = made["ok-%s.bmp" % ("down" if state in ("down", "over") else state)]
    put_masked(win, r[ID_OK], bitmap, made["mask-102x28.bmp"])
    caption(win, r[ID_OK], "OK", CAPTION_BLUE, 1 if state == "down" else 0)
    region = (1, 1, client[0] - 3, client[1] - 3)
    shot = Image.new("RGB", (client[0] + 24, client[1] + 24), DESKTOP)
    shot.paste(win.crop(region), (12 + region[0], 12 + region[1]))
    return shot


def preview_states(made):
    """Every button in every state, on the colour it sits on."""
    rows = []
    for name, label, behind in (("add", "Add", BODY), ("remove", "Remove", BODY),
                                ("update", "Update", SIDEBAR), ("ok", "OK", FOOTER),
                                ("vettor", "Vettor", BODY)):
        mask = made["mask-141x28.bmp" if name == "vettor" else "mask-102x28.bmp"]
        w, h = mask.size
        row = Image.new("RGB", (4 * (w + 16) + 16, h + 16), behind)
        for i, state in enumerate(("normal", "over", "down", "disabled")):
            rect = (16 + i * (w + 16), 8, w, h)
            bitmap = made["%s-%s.bmp" % (name, "down" if state in ("down", "over") else state)]
            put_masked(row, rect, bitmap, mask)
            if state == "disabled":
                caption(row, rect, label, (255, 255, 255))
                caption(row, rect, label, GRAY_TEXT)
            else:
                caption(row, rect, label, CAPTION_BLUE, 1 if state == "down" else 0)
        rows.append(row)
    for kind in ("start", "stop"):
        row = Image.new("RGB", (4 * 172 + 16, 66), SIDEBAR)
        for i, state in enumerate(("normal", "over", "down", "disabled")):
            row.paste(made["%s-%s.bmp" % (kind, state)], (16 + i * 172, 8))
        rows.append(row)
    row = Image.new("RGB", (6 * 34 + 16, 40), NAVY_RIGHT)
    for i, kind in enumerate(("help", "minimise", "close")):
        row.paste(made["%s-normal.bmp" % kind], (16 + i * 68, 10))
        row.paste(made["%s-down.bmp" % kind], (16 + i * 68 + 30, 10))
    rows.append(row)
    for mark in (icon_mark, session_icon_mark):
        icon = Image.new("RGB", (200, 64), BODY)
        for i, size in enumerate((16, 32, 48)):
            m = mark(size)
            icon.paste(m, (16 + i * 60, 8), m)
        rows.append(icon)
    width = max(r.size[0] for r in rows)
    sheet = Image.new("RGB", (width, sum(r.size[1] for r in rows) + 8 * len(rows)), (200, 200, 200))
    y = 0
    for r in rows:
        sheet.paste(r, (0, y))
        y += r.size[1] + 8
    return sheet


def write_previews(directory, made):
    os.makedirs(directory, exist_ok=True)
    for dpi_class in CLASSES:
        preview_main(dpi_class, made, {}, False).save(
            os.path.join(directory, "main-%d.png" % dpi_class))
        preview_main(dpi_class, made, {}, True).save(
            os.path.join(directory, "main-%d-rects.png" % dpi_class))
        busy = {131: "disabled", 1003: "disabled", 1019: "disabled", ID_VETTOR: "disabled",
                ID_START: ("stop", "over"), 1021: "over"}
        preview_main(dpi_class, made, busy, False).save(
            os.path.join(directory, "main-%d-running.png" % dpi_class))
        preview_box(dpi_class, made, " File Updated Successfully").save(
            os.path.join(directory, "message-%d.png" % dpi_class))
    preview_states(made).save(os.path.join(directory, "states.png"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR",
                        help="also write previews of the windows as the program shows them")
    args = parser.parse_args()
    made = write_all()
    if args.preview:
        write_previews(args.preview, made)


if __name__ == "__main__":
    main()
