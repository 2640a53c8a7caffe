// A model for the workspace view's tests: handles of every family laid out on a square.
#pragma once

#include "commands/create.h"
#include "hod/reset.h"
#include "support/model_parts.h"

namespace gantry::testing {

// A white square of half-size 10 in the z = 0 plane under Root, a joint "Arm" at (5, 0, 0), and
// one element of each family with a handle, each somewhere else on the square.
inline HodModel HandlesModel() {
  HodModel model = MakeDefaultModel();
  model.JointList.Joints.push_back({3, "Arm", 4, "Root", {5, 0, 0}, {}, {1, 1, 1}, {}});
  model.JointList.JointCount = 2;
  const MeshPart both_sides = testing::SquarePart(10, {0, 2, 1, 1, 2, 3, 0, 1, 2, 1, 3, 2});
  MultiMesh mesh{{}, 0, 4, "Hull", 4, "Root", 1, {testing::LodOf({both_sides})}};
  ScarMesh scar = NewScarMesh(mesh);
  scar.Triangles = {3, {{-10, -10, 0}, {10, -10, 0}, {-10, 10, 0}}, 3, {0, 1, 2}};
  scar.Normals = {3, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}, 3, {0, 1, 2}};
  model.Meshes = {mesh};
  model.ScarMeshes = {scar};
  model.Materials = {Material{{}, 0, 5, "Paint", 0, "", 0, {}}};
  DockPath path;
  path.Name = "Dock";
  path.ParentName = "Root";
  for (float y : {-6.0f, 0.0f, 6.0f}) path.Points.push_back({{-5, y, 0}, {}});
  model.DockPathList.Paths = {path};
  model.Markers.resize(1);
  model.Markers[0].Name = "Spot";
  model.Markers[0].ParentName = "Root";
  model.Markers[0].Position = {0, -7, 0};
  model.NavLightList.NavLights = {{0, "Arm", 0, 1, 0, 0, 0, "", {1, 0, 0, 1}}};
  model.EngineBurns = {EngineBurn{{}, 0, "Burn", 0, "Root", 2, 1, {{2, 6, 0}, {4, 6, 0}}}};
  model.BoundaryVertices.ParentName = "Root";
  model.BoundaryVertices.Vertices = {{-6, -5, 0}, {6, -5, 0}};
  model.LightList.Lights = {{0, "Lamp", 0, {-3, 7, 0}, {1, 1, 1}, {}}};
  return model;
}

}  // namespace gantry::testing
