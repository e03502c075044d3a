// Reads the mesh of a DirectX .x file the way the graphics library's
// D3DXLoadMeshFromX does: every Mesh of the file, at the top level or in a
// Frame hierarchy, is merged into one mesh, each under the product of the
// FrameTransformMatrix values before it in its frames; faces are fanned into
// triangles; the vertex format follows what the file has (MeshNormals,
// MeshVertexColors, MeshTextureCoords); subset i holds the faces of material i.
//
// Choices where files and the library leave room:
// - Text and binary bodies, 32- and 64-bit floats, and the compressed "tzip"
//   and "bzip" kinds (MSZIP blocks, each inflated with the previous block as
//   its dictionary). Version 0302 reads like 0303.
// - Names may hold code-page-932 characters, whose second bytes may look like
//   brackets or braces.
// - Template declarations are passed over; objects of types other than the
//   ones above are skipped, with what they hold. Type names match in any case.
// - A reference { Name }, { <UUID> } or { Name <UUID> } stands for an object
//   named earlier in the file (at any depth); the first of a name counts.
// - Positions go through the whole frame matrix (divided by w unless w is 0);
//   normals through the inverse transpose of its 3x3 part, then renormalised.
//   A FrameTransformMatrix applies to the meshes and frames after it in its
//   frame, on top of the frame's earlier ones (the later acts first, as a
//   child frame's matrix does); what stands before it keeps what it had.
// - A vertex with different normals on different faces is split, as the
//   library does; the copies follow the original vertices.
// - A MeshMaterialList with fewer face indices than faces gives the remaining
//   faces the last index given (material 0 when none is given); extra indices
//   are ignored.
// - A file without any material list gets the library's default material:
//   diffuse (0.5, 0.5, 0.5, 0), specular (0.5, 0.5, 0.5, 0), all else 0. In a
//   file where only some meshes have materials, the others share one such
//   default material, placed after all the file's own.
// - A Material's Ambient is (0, 0, 0, 1), its Specular and Emissive alpha 1,
//   as the library gives them.
// - Vertices that MeshVertexColors leaves out are 0x00FFFFFF (the library's
//   value); in a merged mesh, vertices of meshes without colours are
//   0xFFFFFFFF, and those without normals or uvs have zeros.
// - Meshes without vertices add nothing; a file without any triangle fails.
//
// Any byte sequence gives a mesh or a failure with a reason: counts are
// checked against the bytes that remain before anything is sized by them,
// nesting and the total work are bounded, and every index is checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/d3dx/xfile/x_mesh.h"

namespace xfile {

struct ReadLimits {
    size_t maxFileBytes = size_t{256} << 20;
    size_t maxInflatedBytes = size_t{256} << 20;
    uint32_t maxDepth = 64;  // nesting of objects, references included
    size_t maxVertices = size_t{1} << 24;
    size_t maxTriangles = size_t{1} << 24;
    // Tokens that may be read, references included: this many per byte of
    // the body, plus a fixed allowance.
    size_t tokensPerByte = 16;
    size_t tokenAllowance = size_t{1} << 16;
};

bool readMesh(std::span<const uint8_t> file, Mesh& mesh, std::string& error,
              const ReadLimits& limits = {});

// Reads the file `fileName` names (code page 932, d3dx/files.h).
bool readMeshFile(const char* fileName, Mesh& mesh, std::string& error,
                  const ReadLimits& limits = {});

}  // namespace xfile
