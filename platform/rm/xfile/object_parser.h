// Reads the data objects of a file body into a Scene: frames, meshes with their normals,
// texture coordinates, vertex colours and material lists. Objects of other templates are
// skipped by matching braces.
#pragma once

#include "platform/rm/xfile/lexer.h"
#include "platform/rm/xfile/scene.h"

namespace xfile {

// False when the body is damaged: a bad token, a count the input cannot hold, an index out
// of range, nesting deeper than the reader allows, or a template declaration that changes
// the layout of a standard template the reader interprets.
bool ParseBody(Lexer& lexer, Scene* scene);

}  // namespace xfile
