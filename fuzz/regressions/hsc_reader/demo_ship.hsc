// Gantry demo ship: builds the whole model from the files next to this script.
// Run it on a new multi-mesh HOD (gantry-cli build demo.hsc -o demo.hod).
HOD__ImportScale(1, 1, 1)

// Textures: numbered from 1 in this order.
LMIP_Add('\hull[1].TGA')
LMIP_Add('\glow[2].DDS')

// Materials: the layers ship.st declares, plus a colour for the trim.
STAT_Add('hull', 'ship', 2)
STAT_SetParamter(1, 1, 5, 0, 0, 0, 0, 1, '$diffuse')
STAT_SetParamter(1, 2, 5, 0, 0, 0, 0, 2, '$glow')
STAT_Add('trim', 'ship', 3)
STAT_SetParamter(2, 1, 5, 0, 0, 0, 0, 1, '$diffuse')
STAT_SetParamter(2, 2, 5, 0, 0, 0, 0, 0, '$glow')
STAT_SetParamter(2, 3, 4, 0.9, 0.55, 0.1, 1, 0, '')

// Joints: name, parent, position, rotation, scale, axis, three degrees of freedom.
HIER_Add('Root', '', 0,0,0, 0,0,0, 1,1,1, 0,0,0, 0,0,0)
HIER_Add('Hull', 'Root', 0,0,0, 0,0,0, 1,1,1, 0,0,0, 1,1,1)
HIER_Add('EngineNozzle1', 'Hull', 0,0,-20, 0,180,0, 1,1,1, 0,0,0, 0,0,0)
HIER_Add('Weapon_GunL_Position', 'Hull', -9.0000,0.8,-2, 0,0,0, 1,1,1, 0,0,0, 0,0,0)
HIER_Add('Weapon_GunL_Rest', 'Weapon_GunL_Position', 0,0,1, 0,0,0, 1,1,1, 0,0,0, 0,0,0)
HIER_Add('Weapon_GunL_Direction', 'Weapon_GunL_Position', 0,1,0, 0,0,0, 1,1,1, 0,0,0, 0,0,0)
HIER_Add('Weapon_GunL_Muzzle', 'Weapon_GunL_Position', 0,0,2.5, 0,0,0, 1,1,1, 0,0,0, 0,1,1)
HIER_Add('Weapon_GunR_Position', 'Hull', 9.0000,0.8,-2, 0,0,0, 1,1,1, 0,0,0, 0,0,0)
HIER_Add('Weapon_GunR_Rest', 'Weapon_GunR_Position', 0,0,1, 0,0,0, 1,1,1, 0,0,0, 0,0,0)
HIER_Add('Weapon_GunR_Direction', 'Weapon_GunR_Position', 0,1,0, 0,0,0, 1,1,1, 0,0,0, 0,0,0)
HIER_Add('Weapon_GunR_Muzzle', 'Weapon_GunR_Position', 0,0,2.5, 0,0,0, 1,1,1, 0,0,0, 0,1,1)
HIER_Add('NavLightPort', 'Hull', -13,0,-10.5, 0,0,0, 1,1,1, 0,0,0, 0,0,0)
HIER_Add('NavLightStarboard', 'Hull', 13,0,-10.5, 0,0,0, 1,1,1, 0,0,0, 0,0,0)
HIER_Add('NavLightTop', 'Hull', 0,7.2,-14, 0,0,0, 1,1,1, 0,0,0, 0,0,0)

// Meshes: the hull with two levels of detail, and a goblin antenna.
MULT_Add('hull', 'Hull', 0, 2)
MULT_SetLoD(1, 0, '\hull_lod0.obj')
MULT_SetLoD(1, 1, '\hull_lod1.obj')
MULT_Add('antenna', 'Hull', 1, 1)
MULT_SetLoD(2, 0, '\antenna.obj')

COLD_Add('Hull', '\collision.obj')
ETSH_Add('EngineShape1', 'EngineNozzle1', '\engine_shape.obj')
BURN_Add('EngineBurn1', 'EngineNozzle1', '\engine_burn.obj')
GLOW_Add('EngineGlow1', 'EngineNozzle1', 0, '\engine_glow.obj')

// Navigation lights: name, section, size, phase, frequency, style, colour, distance,
// visible sprite, cast light on the hull.
NAVL_Add('NavLightPort', 0, 1.5, 0, 1, 'default', 1, 0, 0, 1, 40, 1, 0)
NAVL_Add('NavLightStarboard', 0, 1.5, 0, 1, 'default', 0, 1, 0, 1, 40, 1, 0)
NAVL_Add('NavLightTop', 0, 1, 0.5, 2, 'default', 1, 1, 1, 1, 30, 1, 1)

// Markers: a beacon that bobs and turns (two tracks of three keys), and one without.
MRKR_Add('Beacon', 'Hull', 1, 0, 0, 4, 10, 0, 0, 0, 2)
ANIM_Set(1, 1, 'Beacon_posy', 3, 0, 0)
KEYF_Set(1, 1, 1, 0, 4, 0, 0, 0, 0)
KEYF_Set(1, 1, 2, 1.5, 4.5, 0, 0, 0, 0)
KEYF_Set(1, 1, 3, 3, 4, 0, 0, 0, 0)
ANIM_Set(1, 2, 'Beacon_roty', 3, 0, 0)
KEYF_Set(1, 2, 1, 0, 0, 0, 0, 0, 0)
KEYF_Set(1, 2, 2, 1.5, 3.1416, 0, 0, 0, 0)
KEYF_Set(1, 2, 3, 3, 6.2832, 0, 0, 0, 0)
MRKR_Add('Exhaust', 'EngineNozzle1', 0, 0, 0, 0, -22, 0, 180, 0, 0)

// Dock paths: name, parent, two path flags, families, a flag, linked paths, points;
// then each point: position, rotation, flags, tolerance, maximum speed, more flags.
DOCK_Add('dock1', 'Hull', 1, 0, 'Fighter, Corvette', 0, '', 4)
DOCK_SetKeyframe(1, 1, 0.0000,-6.0000,40.0000, 0,0,0, 0, 16.0000, 0, 120.0000, 0, 0,0,0,0,0)
DOCK_SetKeyframe(1, 2, 0.0000,-6.0000,20.0000, 0,0,0, 0, 12.0000, 0, 90.0000, 0, 0,0,0,0,0)
DOCK_SetKeyframe(1, 3, 0.0000,-4.5000,8.0000, 0,0,0, 0, 8.0000, 0, 60.0000, 0, 0,0,0,0,0)
DOCK_SetKeyframe(1, 4, 0.0000,-3.5000,2.0000, 0,0,0, 0, 4.0000, 1, 30.0000, 1, 0,0,0,0,1)
DOCK_Add('launch1', 'Hull', 0, 1, 'Fighter', 1, 'dock1', 3)
DOCK_SetKeyframe(2, 1, 0.0000,-3.5000,2.0000, 0,0,0, 1, 10, 0, 200.0000, 0, 0,0,0,0,0)
DOCK_SetKeyframe(2, 2, 0.0000,-6.0000,15.0000, 0,0,0, 1, 10, 0, 300.0000, 0, 0,0,0,0,0)
DOCK_SetKeyframe(2, 3, 0.0000,-8.0000,45.0000, 0,0,0, 1, 10, 0, 400.0000, 0, 0,0,0,0,0)

// Boundary: worked out from the meshes, then set to the corners of a box.
BNDV_AutoCalc(1)
BNDV_SetNumVertices(8)
BNDV_SetVertex(1, -13.5000, -4.0000, -21.0000)
BNDV_SetVertex(2, 13.5000, -4.0000, -21.0000)
BNDV_SetVertex(3, 13.5000, -4.0000, 25.5000)
BNDV_SetVertex(4, -13.5000, -4.0000, 25.5000)
BNDV_SetVertex(5, -13.5000, 7.5000, -21.0000)
BNDV_SetVertex(6, 13.5000, 7.5000, -21.0000)
BNDV_SetVertex(7, 13.5000, 7.5000, 25.5000)
BNDV_SetVertex(8, -13.5000, 7.5000, 25.5000)
