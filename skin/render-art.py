#!/usr/bin/env python3
"""Renders the skin's images from the SVG sources in skin/art.

Every image the skins name is listed in IMAGES with its archive path, its size in
skin pixels and the template that draws it. Each is rendered at 1x and, for
screens above 100 %, as the sharper name@1.5x.png and name@2x.png siblings that
the framework looks for. The three layout files are copied beside the images, so
the output folder is the skin archive's tree.

    render-art.py OUT_DIR            the skin tree (layouts and images)
    render-art.py --icon FILE.ico    the application icon (16 to 256 pixels)
    render-art.py --list             archive path, width and height of each 1x image
"""
import argparse
import concurrent.futures
import math
import os
import shutil
import string
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ART = os.path.join(HERE, "art")
LAYOUTS = ["KEMainFrameWhite_brelvost.xml", "KEWhiteMsgBox.xml", "KEMsgBox.xml"]
SCALES = [(1.0, ""), (1.5, "@1.5x"), (2.0, "@2x")]
ICON_SIZES = [16, 24, 32, 48, 64, 128, 256]

BLUE, BLUE_DARK, INK = "#389BFD", "#2C7CCA", "#333333"

# Folders as the skins spell them (spaces and all).
TITLE_BAR = "DUDavov\\tarvek_video\\recording\\index\\"
PAGE = "DUDavov\\zel_video\\public\\Install uninstall\\"
OPTIONS = "Install_and_uninstall\\"
CHECK = "DUDavov\\tarvek_video\\recording\\set_up\\"
POPUP = "ke_appended\\8.11.0.0\\general popup\\"

GLYPH_HIDE = "M7 12.5 H17"
GLYPH_CLOSE = "M7.8 7.8 L16.2 16.2 M16.2 7.8 L7.8 16.2"


def states(base, normal, hover, press):
    """The three state images of a button: name.png, name_hover.png, name_press.png."""
    stem = base[:-4]
    return [(base, normal), (stem + "_hover.png", hover), (stem + "_press.png", press)]


def glyph_button(glyph):
    def plate(colour, opacity, ink):
        return dict(plate=colour, plate_opacity=opacity, ink=ink, glyph=glyph)
    return plate(BLUE, 0, "#8A929C"), plate(BLUE, 0.12, BLUE), plate(BLUE_DARK, 0.2, BLUE_DARK)


def button(w, h, r, top, bottom, stroke="none", stroke_opacity=1, stroke_width=0, gloss=0.0):
    inset = stroke_width / 2
    return dict(w=w, h=h, r=r, top=top, bottom=bottom, stroke=stroke, stroke_opacity=stroke_opacity,
                stroke_width=stroke_width, inset=inset, inner_w=w - stroke_width, inner_h=h - stroke_width,
                gloss=gloss, gloss_x=r, gloss_y=1, gloss_w=w - 2 * r)


def blue_button(w, h, r):
    return (button(w, h, r, "#52AAFF", BLUE, gloss=0.18),
            button(w, h, r, "#6DB8FF", "#4CA6FF", gloss=0.22),
            button(w, h, r, BLUE_DARK, "#2A75BE"))


def outline_button(w, h, r, rest="#D3D9E1"):
    return (button(w, h, r, "#FFFFFF", "#FAFBFD", rest, 1, 1),
            button(w, h, r, "#F4F9FF", "#EAF4FF", BLUE, 1, 1),
            button(w, h, r, "#E2EEFC", "#DCEAFB", BLUE_DARK, 1, 1))


def app_icon(size, inset=0.0, shadow=0.0):
    """The product mark drawn into a size x size square, inset on every side."""
    scale = (size - 2 * inset) / 64.0
    detailed = size >= 32
    return dict(w=size, h=size, x=inset, y=inset - (inset * 0.35 if shadow else 0), s=scale,
                blur=2.5, shadow=shadow, ring=1 if detailed else 0,
                play_top=21 if detailed else 17, play_bottom=43 if detailed else 47,
                play_tip=44 if detailed else 49)


def shadow_frame(size, inset, radius, blur, opacity, dy, colour="#000000", cut=0):
    card = size - 2 * inset
    return dict(w=size, h=size, inset=inset, card_w=card, card_h=card, r=radius, blur=blur,
                opacity=opacity, shadow_y=inset + dy, colour=colour, cut=cut)


def scroll_thumb(w, h, fill):
    return dict(w=w, h=h, inner_w=w - 2, inner_h=h - 2, fill=fill)


def images():
    """(archive path, template, width, height, template values, palette) for every image."""
    out = []

    def add(path, template, w, h, values=None, palette=False):
        out.append((path, template, w, h, values or {}, palette))

    # Page backgrounds: the card itself, 10-pixel round corners. Their soft washes
    # hold a few hundred colours at most, so a dithered palette shows no banding
    # and makes them a third smaller: they are most of what the skin weighs.
    for index, template in enumerate(["page-welcome", "page-options", "page-progress", "page-complete"], 1):
        add(PAGE + "table_bg_install_%02d.png" % index, template, 700, 420, palette=True)

    # Title-bar buttons (the options, progress and completion pages keep their own copy of hide).
    for folder in (TITLE_BAR, OPTIONS):
        for path, values in states(folder + "icon_public_hide.png", *glyph_button(GLYPH_HIDE)):
            add(path, "glyph-button", 24, 24, values)
    for path, values in states(TITLE_BAR + "icon_public_close.png", *glyph_button(GLYPH_CLOSE)):
        add(path, "glyph-button", 24, 24, values)

    # Buttons drawn as nine parts with 10-pixel corners.
    for path, values in states(PAGE + "btn_experience.png", *blue_button(208, 44, 10)):
        add(path, "button", 208, 44, values)
    for path, values in states(PAGE + "btn_modify_path.png", *outline_button(60, 32, 6, "#9CCBFE")):
        add(path, "button", 60, 32, values)
    for path, values in states(POPUP + "btn_popup_secondary.png", *outline_button(92, 38, 8)):
        add(path, "button", 92, 38, values)
    for path, values in states(POPUP + "btn_popup_main.png", *blue_button(92, 38, 8)):
        add(path, "button", 92, 38, values)

    # "Back" link on the options page.
    for path, values in states(OPTIONS + "btn_return.png", dict(ink="#777879"), dict(ink=BLUE), dict(ink="#276CB0")):
        add(path, "back-arrow", 100, 24, values)

    # Check boxes: the agreement and shortcut boxes, and the hidden taskbar box.
    unticked = dict(fill="#FFFFFF", stroke="#B9C0CA", tick=0)
    ticked = dict(fill=BLUE, stroke=BLUE, tick=1)
    add(CHECK + "btn_multiple_choice.png", "check-box", 16, 16, unticked)
    add(CHECK + "btn_multiple_choice_select.png", "check-box", 16, 16, ticked)
    add(OPTIONS + "btn_unchecked.png", "check-box", 18, 18, unticked)
    add(OPTIONS + "btn_select.png", "check-box", 18, 18, ticked)

    # The product mark: large on the welcome page, small before the completion page's title
    # (its fixed left 24 pixels hold the mark, the stretched rest stays clear).
    add(PAGE + "icon_Install_and_uninstall_big.png", "app-icon", 68, 68, app_icon(68, 4, 0.35))
    small = app_icon(24, 1)
    small["w"] = 28
    add(PAGE + "icon_Install_and_uninstall_small.png", "app-icon", 28, 24, small)

    add("DUDavov\\zel_video\\Install_uninstall\\table_bg_Installation_path.png", "path-box", 520, 40)
    add(PAGE + "table_bg_progress_bar.png", "progress", 594, 14,
        dict(start="#E4EBF4", middle="#E4EBF4", end="#E4EBF4", gloss=0))
    add(PAGE + "table_progress_bar.png", "progress", 594, 14,
        dict(start="#7CC2FF", middle=BLUE, end=BLUE_DARK, gloss=0.25))

    # Shadows: the frame around the white windows (16-pixel border, drawn as nine parts),
    # and the image of the dark box's shadow window (38-pixel corners, middle left out).
    add("ke_appended\\shadow\\shadows_white.png", "shadow-frame", 64, 64,
        shadow_frame(64, 16, 10, 5.5, 0.3, 1.5))
    add("ke_appended\\shadow\\shadow_black.png", "shadow-frame", 96, 96,
        shadow_frame(96, 16, 2, 6, 0.55, 2, cut=1))

    # Message boxes.
    add(POPUP + "table_popup_bg.png", "popup-card", 417, 212)
    add("ke_appended\\popup\\icon_bg_pop_up_prompt.png", "popup-dark", 417, 212)
    add("ke_appended\\popup\\icon_pop_up_prompt.png", "prompt-icon", 24, 24)

    # Scroll bars of the skins' default styles.
    for axis, w, h in (("v", 8, 40), ("h", 40, 8)):
        fills = [scroll_thumb(w, h, c) for c in ("#C9CFD7", "#AAB2BD", "#8F98A4")]
        for path, values in states("ke_appended\\scrollbar\\scroll_thumb_%s.png" % axis, *fills):
            add(path, "scroll-thumb", w, h, values)
    return out


def scaled(length, scale):
    # Half pixels round up, as the framework's own scaling does.
    return int(math.floor(length * scale + 0.5))


def variant_path(path, suffix):
    stem, ext = os.path.splitext(path)
    return stem + suffix + ext


def fill_template(template, values):
    with open(os.path.join(ART, template + ".svg"), encoding="utf-8") as f:
        text = f.read()
    try:
        return string.Template(text).substitute({k: str(v) for k, v in values.items()})
    except KeyError as missing:
        raise SystemExit("render-art: template %s needs a value for %s" % (template, missing))


def quantise(target):
    """Rewrites target as a palette image with alpha when that stays faithful.

    pngquant refuses (exit 99) when 256 colours cannot reach the quality floor,
    and skips a result that would be larger; either way the full-colour image stays.
    """
    result = subprocess.run(["pngquant", "--quality=90-100", "--speed", "1", "--strip",
                             "--skip-if-larger", "--force", "--output", target, "--", target])
    if result.returncode not in (0, 98, 99):
        raise SystemExit("render-art: pngquant failed on %s" % target)


def render(svg_text, width, height, target, optimise, palette=False):
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with tempfile.NamedTemporaryFile("w", suffix=".svg", delete=False, encoding="utf-8") as f:
        f.write(svg_text)
        source = f.name
    try:
        subprocess.run(["rsvg-convert", "--width", str(width), "--height", str(height),
                        "--keep-aspect-ratio", "--format", "png", "--output", target, source],
                       check=True)
    finally:
        os.unlink(source)
    if palette:
        quantise(target)
    if optimise:
        subprocess.run(["optipng", "-quiet", "-o2", "-strip", "all", target], check=True)


def render_tree(out_dir, jobs):
    optimise = shutil.which("optipng") is not None
    can_quantise = shutil.which("pngquant") is not None
    if not can_quantise:
        print("render-art: pngquant not found (scripts/setup.sh installs it); "
              "the page backgrounds stay in full colour, and larger", file=sys.stderr)
    tasks = []
    for path, template, w, h, values, palette in images():
        svg = fill_template(template, dict(values, w=w, h=h) if "w" not in values else values)
        for scale, suffix in SCALES:
            target = os.path.join(out_dir, *variant_path(path, suffix).split("\\"))
            tasks.append((svg, scaled(w, scale), scaled(h, scale), target, optimise, palette and can_quantise))
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        for future in [pool.submit(render, *task) for task in tasks]:
            future.result()
    for layout in LAYOUTS:
        shutil.copyfile(os.path.join(HERE, layout), os.path.join(out_dir, layout))


def write_icon(target):
    """An .ico with one PNG-compressed picture per size; Windows reads those from Vista on."""
    pictures = []
    with tempfile.TemporaryDirectory() as tmp:
        for size in ICON_SIZES:
            png = os.path.join(tmp, "%d.png" % size)
            values = app_icon(size, size / 32.0)
            render(fill_template("app-icon", values), size, size, png, shutil.which("optipng") is not None)
            with open(png, "rb") as f:
                pictures.append((size, f.read()))
    header = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(header) + 16 * len(pictures)
    directory, data = b"", b""
    for size, png in pictures:
        side = 0 if size >= 256 else size  # 0 stands for 256 in an icon directory
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(png), offset + len(data))
        data += png
    os.makedirs(os.path.dirname(os.path.abspath(target)), exist_ok=True)
    with open(target, "wb") as f:
        f.write(header + directory + data)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("out_dir", nargs="?")
    parser.add_argument("--icon")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--jobs", type=int, default=2)
    args = parser.parse_args()
    if args.list:
        for path, _, w, h, _, _ in images():
            print("%s\t%d\t%d" % (path, w, h))
        return 0
    if args.icon:
        write_icon(args.icon)
    if args.out_dir:
        render_tree(args.out_dir, args.jobs)
    if not args.icon and not args.out_dir:
        parser.error("nothing to do")
    return 0


if __name__ == "__main__":
    sys.exit(main())
