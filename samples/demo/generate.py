#!/usr/bin/env python3
"""Writes the Gantry demo ship's source files into this folder.

Everything here is made from scratch by this script: the meshes (OBJ), the textures (a 32-bit
TGA and a DXT1 DDS with its mip levels), the shader declaration (.st) and the HOD script
(demo.hsc) that builds the ship. Output is deterministic, so running it again rewrites the same
bytes. Build the HOD with scripts/make_demo.sh.

The ship points along +Z (nose at z = 25, engine at z = -20), Y up, X to starboard.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def fmt(x):
    text = "%.4f" % x
    if text in ("-0.0000",):
        text = "0.0000"
    return text


def write_text(name, text):
    with open(os.path.join(HERE, name), "w", newline="\n") as f:
        f.write(text)


def write_bytes(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# ---- Meshes --------------------------------------------------------------------------------


class Obj:
    """An OBJ file under construction: shared v/vt/vn lists and faces grouped by material."""

    def __init__(self, comment):
        self.comment = comment
        self.v, self.vt, self.vn = [], [], []
        self.groups = []  # (material, [faces]); a face is a list of (v, vt, vn) 1-based indices

    def vertex(self, p):
        self.v.append(p)
        return len(self.v)

    def uv(self, t):
        self.vt.append(t)
        return len(self.vt)

    def normal(self, n):
        length = math.sqrt(sum(c * c for c in n)) or 1.0
        self.vn.append(tuple(c / length for c in n))
        return len(self.vn)

    def use(self, material):
        if not self.groups or self.groups[-1][0] != material:
            self.groups.append((material, []))

    def face(self, corners):
        self.groups[-1][1].append(corners)

    def text(self, faces=True):
        out = ["# " + self.comment]
        out += ["v %s %s %s" % tuple(fmt(c) for c in p) for p in self.v]
        if faces:
            out += ["vt %s %s" % tuple(fmt(c) for c in t) for t in self.vt]
            out += ["vn %s %s %s" % tuple(fmt(c) for c in n) for n in self.vn]
            for material, group in self.groups:
                if material:
                    out.append("usemtl " + material)
                for corners in group:
                    out.append("f " + " ".join("%d/%d/%d" % c for c in corners))
        return "\n".join(out) + "\n"


def sub(a, b):
    return tuple(x - y for x, y in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def hull_section(t):
    """Half-width, half-height and centre height of the hull at t (0 = stern, 1 = nose)."""
    bulge = math.sin(math.pi * (0.12 + 0.88 * t)) ** 0.7
    width = 0.6 + 5.4 * bulge * (1.0 - 0.35 * t)
    height = 0.5 + 3.2 * bulge
    centre = 0.8 * math.sin(math.pi * t)
    return width, height, centre


def ring_point(t, angle):
    """A point of the hull's rounded-square cross-section (a superellipse of exponent 3)."""
    width, height, centre = hull_section(t)
    c, s = math.cos(angle), math.sin(angle)
    x = math.copysign(abs(c) ** (2.0 / 3.0), c) * width
    y = math.copysign(abs(s) ** (2.0 / 3.0), s) * height + centre
    z = -20.0 + 45.0 * t
    return (x, y, z)


def add_hull(obj, segments, stations):
    """Lofted hull: `stations` rings of `segments` sides, a flat stern plate and a pointed nose.

    Ring vertices carry smooth normals (averaged from the surrounding quads); the stern plate is
    flat. Faces wind counter-clockwise seen from outside.
    """
    obj.use("hull")
    ts = [i / (stations - 1) * 0.97 for i in range(stations)]
    grid = [[ring_point(t, 2 * math.pi * j / segments) for j in range(segments)] for t in ts]
    nose = (0.0, 0.0, 25.0)

    def smooth(i, j):
        here = grid[i][j]
        n = [0.0, 0.0, 0.0]
        for di, dj in ((0, 0), (-1, 0), (0, -1), (-1, -1)):
            a, b = i + di, (j + dj) % segments
            if a < 0 or a + 1 >= stations:
                continue
            p00, p01 = grid[a][b], grid[a][(b + 1) % segments]
            p10 = grid[a + 1][b]
            f = cross(sub(p01, p00), sub(p10, p00))
            n = [x + y for x, y in zip(n, f)]
        if n == [0.0, 0.0, 0.0]:
            n = list(sub(here, (0.0, 0.0, here[2])))
        return n

    index = {}
    for i in range(stations):
        for j in range(segments + 1):
            jj = j % segments
            v = obj.vertex(grid[i][jj])
            vt = obj.uv((j / segments, ts[i] / 0.97))
            vn = obj.normal(smooth(i, jj))
            index[i, j] = (v, vt, vn)
    for i in range(stations - 1):
        for j in range(segments):
            a, b, c, d = index[i, j], index[i, j + 1], index[i + 1, j + 1], index[i + 1, j]
            # The ring goes counter-clockwise seen from the nose: (a, b, c, d) faces outwards.
            obj.face([a, b, c])
            obj.face([a, c, d])
    # Nose: a fan to the tip.
    tip = (obj.vertex(nose), obj.uv((0.5, 1.0)), obj.normal((0, 0, 1)))
    last = stations - 1
    for j in range(segments):
        obj.face([index[last, j], index[last, j + 1], tip])
    # Stern plate: flat, facing -z.
    back = obj.normal((0, 0, -1))
    centre = (obj.vertex((0.0, hull_section(0)[2], -20.0)), obj.uv((0.5, 0.5)), back)
    for j in range(segments):
        p, q = grid[0][j], grid[0][(j + 1) % segments]
        pv = obj.vertex(p)
        qv = obj.vertex(q)
        pt = obj.uv((0.5 + p[0] / 12.0, 0.5 + p[1] / 12.0))
        qt = obj.uv((0.5 + q[0] / 12.0, 0.5 + q[1] / 12.0))
        obj.face([centre, (qv, qt, back), (pv, pt, back)])


def add_box_faces(obj, corners, material=None):
    """A hexahedron from 8 corners (bottom 0-3, top 4-7, going round both in the same
    direction), flat-shaded, each side a quad wound counter-clockwise seen from outside."""
    if material:
        obj.use(material)
    middle = tuple(sum(c[k] for c in corners) / 8 for k in range(3))
    sides = [(0, 3, 2, 1), (4, 5, 6, 7), (0, 1, 5, 4), (1, 2, 6, 5), (2, 3, 7, 6), (3, 0, 4, 7)]
    for side in sides:
        ps = [corners[k] for k in side]
        n = cross(sub(ps[1], ps[0]), sub(ps[2], ps[0]))
        centre = tuple(sum(p[k] for p in ps) / 4 for k in range(3))
        if sum(a * b for a, b in zip(n, sub(centre, middle))) < 0:
            ps.reverse()
            n = tuple(-c for c in n)
        vn = obj.normal(n)
        quad = []
        for p, t in zip(ps, ((0, 0), (1, 0), (1, 1), (0, 1))):
            quad.append((obj.vertex(p), obj.uv(t), vn))
        obj.face(quad)


def wing(side, span, thickness):
    """A swept wing on one side (side = +1 starboard, -1 port), as 8 corners."""
    root_front, root_back = 4.0, -10.0
    tip_front, tip_back = -4.0, -11.0
    inner, outer = 4.0 * side, span * side
    h = thickness / 2

    def ring(y):
        pts = [(inner, y, root_back), (outer, y, tip_back), (outer, y, tip_front),
               (inner, y, root_front)]
        return pts if side > 0 else pts[::-1]
    return ring(-h) + ring(h)


def fin():
    """A dorsal fin on the hull's back, as 8 corners."""
    return [(-0.3, 2.5, -14.0), (0.3, 2.5, -14.0), (0.3, 2.5, -4.0), (-0.3, 2.5, -4.0),
            (-0.2, 7.0, -16.0), (0.2, 7.0, -16.0), (0.2, 7.0, -12.0), (-0.2, 7.0, -12.0)]


def hull_obj(segments, stations, comment):
    obj = Obj(comment)
    add_hull(obj, segments, stations)
    obj.use("trim")
    add_box_faces(obj, wing(+1, 13.0, 0.8))
    add_box_faces(obj, wing(-1, 13.0, 0.8))
    add_box_faces(obj, fin())
    return obj


def collision_obj():
    """A coarse shell around hull, wings and fin: a tapered box plus a wing slab."""
    obj = Obj("Gantry demo ship: collision mesh")
    obj.use(None)
    add_box_faces(obj, [(-6, -3.5, -20), (6, -3.5, -20), (4, -2.5, 25), (-4, -2.5, 25),
                        (-6, 4.5, -20), (6, 4.5, -20), (4, 2.5, 25), (-4, 2.5, 25)])
    add_box_faces(obj, [(-13, -0.5, -11), (13, -0.5, -11), (13, -0.5, 4), (-13, -0.5, 4),
                        (-13, 0.5, -11), (13, 0.5, -11), (13, 0.5, 4), (-13, 0.5, 4)])
    return obj


def disc_obj(radius, z, sides, comment, facing=-1):
    """A flat disc in the plane z, as a triangle fan facing +z or -z."""
    obj = Obj(comment)
    obj.use(None)
    n = obj.normal((0, 0, facing))
    centre = (obj.vertex((0.0, 0.0, z)), obj.uv((0.5, 0.5)), n)
    rim = []
    for j in range(sides):
        a = 2 * math.pi * j / sides
        c, s = math.cos(a), math.sin(a)
        rim.append((obj.vertex((radius * c, radius * s, z)), obj.uv((0.5 + c / 2, 0.5 + s / 2)), n))
    for j in range(sides):
        p, q = rim[j], rim[(j + 1) % sides]
        obj.face([centre, q, p] if facing < 0 else [centre, p, q])
    return obj


def burn_obj():
    """The burn's curve: points from the nozzle backwards, narrowing to the plume's tip."""
    obj = Obj("Gantry demo ship: engine burn (points only)")
    for k in range(9):
        r = 1.6 * (1 - k / 8) ** 0.5
        obj.vertex((r, 0.0, -k * 1.5))
    return obj


def antenna_obj():
    obj = Obj("Gantry demo ship: antenna (goblin)")
    add_box_faces(obj, [(-0.1, 3.0, 8.0), (0.1, 3.0, 8.0), (0.1, 3.0, 8.2), (-0.1, 3.0, 8.2),
                        (-0.05, 6.0, 7.0), (0.05, 6.0, 7.0), (0.05, 6.0, 7.1), (-0.05, 6.0, 7.1)],
                  material="trim")
    return obj


# ---- Textures ------------------------------------------------------------------------------


def hull_tga(size=64):
    """32-bit TGA: grey panels with darker seams and a diagonal hazard stripe near one edge."""
    pixels = bytearray()
    for y in range(size):
        for x in range(size):
            panel = ((x // 16) * 7 + (y // 16) * 13) % 5
            base = 120 + panel * 12
            if x % 16 == 0 or y % 16 == 0:
                base -= 50
            if (x % 16, y % 16) in ((3, 3), (12, 3), (3, 12), (12, 12)):
                base += 60  # rivets
            r = g = b = base
            if y >= size - 8 and ((x + y) // 4) % 2 == 0:
                r, g, b = 230, 170, 30  # stripe
            pixels += bytes((min(b, 255), min(g, 255), min(r, 255), 255))  # BGRA
    header = struct.pack("<BBB5sHHHHBB", 0, 0, 2, bytes(5), 0, 0, size, size, 32, 8)
    footer = struct.pack("<II", 0, 0) + b"TRUEVISION-XFILE.\x00"
    return header + bytes(pixels) + footer


def rgb565(r, g, b):
    return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)


def dxt1_level(size, colour_of):
    """DXT1 blocks for a size x size level: each 4x4 block holds its two colours (colour0 >
    colour1 selects four-colour mode) and one 2-bit index per pixel (0 = colour0, 1 = colour1,
    2 = 2/3 c0 + 1/3 c1, 3 = 1/3 c0 + 2/3 c1). `colour_of(x, y)` gives 0..3 per pixel."""
    blocks = max(size // 4, 1)
    out = bytearray()
    for by in range(blocks):
        for bx in range(blocks):
            c0 = rgb565(255, 200, 90)  # hot glow
            c1 = rgb565(0, 0, 0)  # no glow
            bits = 0
            for py in range(4):
                for px in range(4):
                    x = min(bx * 4 + px, size - 1)
                    y = min(by * 4 + py, size - 1)
                    bits |= colour_of(x, y, size) << (2 * (py * 4 + px))
            out += struct.pack("<HHI", c0, c1, bits)
    return bytes(out)


def glow_index(x, y, size):
    """Glowing window strips: two bright bands with a soft edge, dark elsewhere."""
    v = (y + 0.5) / size
    u = (x + 0.5) / size
    lit = 0
    for centre in (0.3, 0.7):
        d = abs(v - centre) * size / 64.0 * 16
        if d < 0.6 and (int(u * 8) % 2 == 0 or size < 16):
            lit = max(lit, 3 if d < 0.3 else 2)
    # index order from dark to bright: 1 (c1), 3 (1/3 c0), 2 (2/3 c0), 0 (c0)
    return {0: 1, 1: 3, 2: 2, 3: 0}[lit]


def glow_dds(size=64):
    levels = []
    s = size
    while s >= 1:
        levels.append(dxt1_level(s, glow_index))
        s //= 2
    flags = 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000 | 0x80000  # caps, height, width, pixelformat,
    # mipmapcount, linearsize
    header = b"DDS " + struct.pack(
        "<7I44x", 124, flags, size, size, len(levels[0]), 0, len(levels))
    header += struct.pack("<2I4s5I", 32, 0x4, b"DXT1", 0, 0, 0, 0, 0)
    header += struct.pack("<4I4x", 0x1000 | 0x8 | 0x400000, 0, 0, 0)  # texture, complex, mipmap
    assert len(header) == 128
    return header + b"".join(levels)


# ---- Shader and script ---------------------------------------------------------------------

SHADER = """\
// Gantry demo ship: the texture layers its materials fill.
static Texture $diffuse
static Texture $glow
"""


def script():
    lines = []
    add = lines.append
    add("// Gantry demo ship: builds the whole model from the files next to this script.")
    add("// Run it on a new multi-mesh HOD (gantry-cli build demo.hsc -o demo.hod).")
    add("HOD__ImportScale(1, 1, 1)")
    add("")
    add("// Textures: numbered from 1 in this order.")
    add("LMIP_Add('\\hull[1].TGA')")
    add("LMIP_Add('\\glow[2].DDS')")
    add("")
    add("// Materials: the layers ship.st declares, plus a colour for the trim.")
    add("STAT_Add('hull', 'ship', 2)")
    add("STAT_SetParamter(1, 1, 5, 0, 0, 0, 0, 1, '$diffuse')")
    add("STAT_SetParamter(1, 2, 5, 0, 0, 0, 0, 2, '$glow')")
    add("STAT_Add('trim', 'ship', 3)")
    add("STAT_SetParamter(2, 1, 5, 0, 0, 0, 0, 1, '$diffuse')")
    add("STAT_SetParamter(2, 2, 5, 0, 0, 0, 0, 0, '$glow')")
    add("STAT_SetParamter(2, 3, 4, 0.9, 0.55, 0.1, 1, 0, '')")
    add("")
    add("// Joints: name, parent, position, rotation, scale, axis, three degrees of freedom.")
    add("HIER_Add('Root', '', 0,0,0, 0,0,0, 1,1,1, 0,0,0, 0,0,0)")
    add("HIER_Add('Hull', 'Root', 0,0,0, 0,0,0, 1,1,1, 0,0,0, 1,1,1)")
    add("HIER_Add('EngineNozzle1', 'Hull', 0,0,-20, 0,180,0, 1,1,1, 0,0,0, 0,0,0)")
    for side, x in (("L", -9.0), ("R", 9.0)):
        gun = "Weapon_Gun%s" % side
        add("HIER_Add('%s_Position', 'Hull', %s,0.8,-2, 0,0,0, 1,1,1, 0,0,0, 0,0,0)" % (gun, fmt(x)))
        add("HIER_Add('%s_Rest', '%s_Position', 0,0,1, 0,0,0, 1,1,1, 0,0,0, 0,0,0)" % (gun, gun))
        add("HIER_Add('%s_Direction', '%s_Position', 0,1,0, 0,0,0, 1,1,1, 0,0,0, 0,0,0)" % (gun, gun))
        add("HIER_Add('%s_Muzzle', '%s_Position', 0,0,2.5, 0,0,0, 1,1,1, 0,0,0, 0,1,1)" % (gun, gun))
    add("HIER_Add('NavLightPort', 'Hull', -13,0,-10.5, 0,0,0, 1,1,1, 0,0,0, 0,0,0)")
    add("HIER_Add('NavLightStarboard', 'Hull', 13,0,-10.5, 0,0,0, 1,1,1, 0,0,0, 0,0,0)")
    add("HIER_Add('NavLightTop', 'Hull', 0,7.2,-14, 0,0,0, 1,1,1, 0,0,0, 0,0,0)")
    add("")
    add("// Meshes: the hull with two levels of detail, and a goblin antenna.")
    add("MULT_Add('hull', 'Hull', 0, 2)")
    add("MULT_SetLoD(1, 0, '\\hull_lod0.obj')")
    add("MULT_SetLoD(1, 1, '\\hull_lod1.obj')")
    add("MULT_Add('antenna', 'Hull', 1, 1)")
    add("MULT_SetLoD(2, 0, '\\antenna.obj')")
    add("")
    add("COLD_Add('Hull', '\\collision.obj')")
    add("ETSH_Add('EngineShape1', 'EngineNozzle1', '\\engine_shape.obj')")
    add("BURN_Add('EngineBurn1', 'EngineNozzle1', '\\engine_burn.obj')")
    add("GLOW_Add('EngineGlow1', 'EngineNozzle1', 0, '\\engine_glow.obj')")
    add("")
    add("// Navigation lights: name, section, size, phase, frequency, style, colour, distance,")
    add("// visible sprite, cast light on the hull.")
    add("NAVL_Add('NavLightPort', 0, 1.5, 0, 1, 'default', 1, 0, 0, 1, 40, 1, 0)")
    add("NAVL_Add('NavLightStarboard', 0, 1.5, 0, 1, 'default', 0, 1, 0, 1, 40, 1, 0)")
    add("NAVL_Add('NavLightTop', 0, 1, 0.5, 2, 'default', 1, 1, 1, 1, 30, 1, 1)")
    add("")
    add("// Markers: a beacon that bobs and turns (two tracks of three keys), and one without.")
    add("MRKR_Add('Beacon', 'Hull', 1, 0, 0, 4, 10, 0, 0, 0, 2)")
    add("ANIM_Set(1, 1, 'Beacon_posy', 3, 0, 0)")
    add("KEYF_Set(1, 1, 1, 0, 4, 0, 0, 0, 0)")
    add("KEYF_Set(1, 1, 2, 1.5, 4.5, 0, 0, 0, 0)")
    add("KEYF_Set(1, 1, 3, 3, 4, 0, 0, 0, 0)")
    add("ANIM_Set(1, 2, 'Beacon_roty', 3, 0, 0)")
    add("KEYF_Set(1, 2, 1, 0, 0, 0, 0, 0, 0)")
    add("KEYF_Set(1, 2, 2, 1.5, 3.1416, 0, 0, 0, 0)")
    add("KEYF_Set(1, 2, 3, 3, 6.2832, 0, 0, 0, 0)")
    add("MRKR_Add('Exhaust', 'EngineNozzle1', 0, 0, 0, 0, -22, 0, 180, 0, 0)")
    add("")
    add("// Dock paths: name, parent, two path flags, families, a flag, linked paths, points;")
    add("// then each point: position, rotation, flags, tolerance, maximum speed, more flags.")
    add("DOCK_Add('dock1', 'Hull', 1, 0, 'Fighter, Corvette', 0, '', 4)")
    dock = [(0, -6, 40), (0, -6, 20), (0, -4.5, 8), (0, -3.5, 2)]
    for k, (x, y, z) in enumerate(dock, 1):
        last = 1 if k == len(dock) else 0
        add("DOCK_SetKeyframe(1, %d, %s,%s,%s, 0,0,0, 0, %s, %d, %s, %d, 0,0,0,0,%d)"
            % (k, fmt(x), fmt(y), fmt(z), fmt(20 - 4 * k), last, fmt(150 - 30 * k), last, last))
    add("DOCK_Add('launch1', 'Hull', 0, 1, 'Fighter', 1, 'dock1', 3)")
    launch = [(0, -3.5, 2), (0, -6, 15), (0, -8, 45)]
    for k, (x, y, z) in enumerate(launch, 1):
        add("DOCK_SetKeyframe(2, %d, %s,%s,%s, 0,0,0, 1, 10, 0, %s, 0, 0,0,0,0,0)"
            % (k, fmt(x), fmt(y), fmt(z), fmt(100 + 100 * k)))
    add("")
    add("// Boundary: worked out from the meshes, then set to the corners of a box.")
    add("BNDV_AutoCalc(1)")
    add("BNDV_SetNumVertices(8)")
    lo, hi = (-13.5, -4, -21), (13.5, 7.5, 25.5)
    corners = [(lo[0], lo[1], lo[2]), (hi[0], lo[1], lo[2]), (hi[0], lo[1], hi[2]),
               (lo[0], lo[1], hi[2]), (lo[0], hi[1], lo[2]), (hi[0], hi[1], lo[2]),
               (hi[0], hi[1], hi[2]), (lo[0], hi[1], hi[2])]
    for k, c in enumerate(corners, 1):
        add("BNDV_SetVertex(%d, %s, %s, %s)" % ((k,) + tuple(fmt(v) for v in c)))
    return "\n".join(lines) + "\n"


def enclosed_volume(obj):
    """Signed volume of the faces (positive when they all face outwards of closed pieces)."""
    total = 0.0
    for _, group in obj.groups:
        for corners in group:
            ps = [obj.v[c[0] - 1] for c in corners]
            for k in range(1, len(ps) - 1):
                total += sum(a * b for a, b in zip(ps[0], cross(ps[k], ps[k + 1]))) / 6
    return total


def main():
    lod0 = hull_obj(20, 12, "Gantry demo ship: hull, level of detail 0")
    lod1 = hull_obj(8, 5, "Gantry demo ship: hull, level of detail 1")
    for mesh in (lod0, lod1, collision_obj(), antenna_obj()):
        assert enclosed_volume(mesh) > 0, mesh.comment
    write_text("hull_lod0.obj", lod0.text())
    write_text("hull_lod1.obj", lod1.text())
    write_text("antenna.obj", antenna_obj().text())
    write_text("collision.obj", collision_obj().text())
    write_text("engine_shape.obj",
               disc_obj(1.8, -20.2, 8, "Gantry demo ship: engine shape").text())
    write_text("engine_glow.obj",
               disc_obj(1.5, -20.4, 8, "Gantry demo ship: engine glow").text())
    write_text("engine_burn.obj", burn_obj().text(faces=False))
    write_bytes("hull[1].TGA", hull_tga())
    write_bytes("glow[2].DDS", glow_dds())
    write_text("ship.st", SHADER)
    write_text("demo.hsc", script())


if __name__ == "__main__":
    main()
