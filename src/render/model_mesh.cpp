#include "render/model_mesh.h"

// Stand-in until the model is built: an empty model.
ModelMesh::~ModelMesh() { release(); }
void ModelMesh::load(const char*) {}
void ModelMesh::release() {}
void ModelMesh::draw(const platform::Vector3&, const platform::Vector3&) {}
