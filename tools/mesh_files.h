// Reading mesh files for facetry-mesh: a name ending in .3ds (any case) is a 3DS file, any
// other an .x file. A failure is reported on standard error as one line naming the file
// and the problem, and the caller gets the exit status to return.
#pragma once

#include <cstddef>
#include <string>

#include "platform/rm/mesh_data.h"
#include "platform/rm/types.h"

class Studio;

// Exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFileProblem = 1;  // also: check found a problem
inline constexpr int kExitUsage = 2;

bool Is3dsPath(const std::string& path);

// Reports "facetry-mesh: FILE: PROBLEM" and returns kExitFileProblem.
int Fail(const std::string& file, const std::string& problem);
std::string ResultName(HRESULT r);

// Each returns false after reporting, with *status set.
bool LoadX(const char* path, MeshData* mesh, int* status);
bool Load3ds(const char* path, Studio* reader, int* status);
// Either kind, as a mesh. A 3DS face that names a vertex the file does not have is left
// out and reported; `left_out`, when given, receives how many were.
bool LoadMesh(const char* path, MeshData* mesh, int* status, size_t* left_out = nullptr);
