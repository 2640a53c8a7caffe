#include "commands/undo_history.h"

#include <utility>

namespace gantry {
namespace {

std::size_t LodBytes(const LodMesh& lod) {
  std::size_t bytes = 0;
  for (const MeshPart& part : lod.Parts) {
    bytes += part.Vertices.size() * sizeof(MeshVertex);
    for (const FaceList& list : part.FaceLists) bytes += list.Indices.size() * sizeof(std::int16_t);
  }
  return bytes;
}

std::size_t TriangleBytes(const TriangleMesh& mesh) {
  return mesh.Vertices.size() * sizeof(Vector3) + mesh.Indices.size() * sizeof(std::int16_t);
}

}  // namespace

std::size_t ApproximateModelBytes(const HodModel& model) {
  std::size_t bytes = sizeof(HodModel);
  for (const Texture& texture : model.Textures) {
    for (const MipLevel& level : texture.MipLevels) bytes += level.size();
  }
  for (const MultiMesh& mesh : model.Meshes) {
    for (const LodMesh& lod : mesh.Lods) bytes += LodBytes(lod);
  }
  for (const LodMesh& lod : model.BackgroundMeshSet.Meshes) bytes += LodBytes(lod);
  for (const EngineGlow& glow : model.EngineGlows) bytes += LodBytes(glow.Mesh);
  for (const SimpleMesh& mesh : model.SimpleMeshes) {
    bytes += mesh.Vertices.size() * sizeof(SimpleVertex) + mesh.Indices.size() * 4;
  }
  for (const CollisionMesh& mesh : model.CollisionMeshes) bytes += TriangleBytes(mesh.Triangles);
  for (const ScarMesh& mesh : model.ScarMeshes) {
    bytes += TriangleBytes(mesh.Triangles) + TriangleBytes(mesh.Normals);
  }
  for (const StarField& field : model.StarFields) bytes += field.Stars.size() * sizeof(Star);
  for (const BackgroundSegment& segment : model.BackgroundSegments) {
    bytes += segment.Elements.size() * sizeof(BackgroundElement);
  }
  return bytes;
}

void UndoHistory::Record(HodModel before) {
  for (const Snapshot& s : redo_) bytes_ -= s.bytes;
  redo_.clear();
  const std::size_t bytes = ApproximateModelBytes(before);
  undo_.push_back({std::move(before), bytes});
  bytes_ += bytes;
  Trim();
}

bool UndoHistory::Undo(HodModel& model) {
  if (undo_.empty()) return false;
  Snapshot previous = std::move(undo_.back());
  undo_.pop_back();
  const std::size_t bytes = ApproximateModelBytes(model);
  redo_.push_back({std::move(model), bytes});
  bytes_ += bytes;
  bytes_ -= previous.bytes;
  model = std::move(previous.model);
  Trim();
  return true;
}

bool UndoHistory::Redo(HodModel& model) {
  if (redo_.empty()) return false;
  Snapshot next = std::move(redo_.back());
  redo_.pop_back();
  const std::size_t bytes = ApproximateModelBytes(model);
  undo_.push_back({std::move(model), bytes});
  bytes_ += bytes;
  bytes_ -= next.bytes;
  model = std::move(next.model);
  Trim();
  return true;
}

void UndoHistory::Clear() {
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
}

void UndoHistory::Trim() {
  // The oldest undo steps go first, then the furthest redo steps; one snapshot always stays.
  while (bytes_ > budget_ && undo_.size() + redo_.size() > 1) {
    std::deque<Snapshot>& from = !undo_.empty() ? undo_ : redo_;
    bytes_ -= from.front().bytes;
    from.pop_front();
  }
}

}  // namespace gantry
