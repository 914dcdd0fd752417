// facetry-mesh: reports on and converts .x and .3ds mesh files from the command line.
//
//   facetry-mesh info FILE
//   facetry-mesh convert IN OUT [--text|--binary]
//   facetry-mesh render IN.x OUT.png [options]   (see render_command.h)
//
// A name ending in .3ds (in any case) is a 3DS file, any other an .x file; the options
// pick the encoding of an .x output.
//
// Kept free of the window layer so a run costs little more than reading the file.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/studio.h"
#include "platform/rm/mesh_data.h"
#include "platform/rm/types.h"
#include "platform/rm/xfile/xfile.h"
#include "tools/render_command.h"

namespace {

constexpr const char* kUsage =
    "usage: facetry-mesh info FILE\n"
    "       facetry-mesh convert IN OUT [--text|--binary]\n"
    "       facetry-mesh render IN.x OUT.png [--size WxH] [--view front|side|top] [--mode solid|wireframe|points]\n";

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFileProblem = 1;
constexpr int kExitUsage = 2;

int Fail(const std::string& file, const std::string& problem) {
  std::fprintf(stderr, "facetry-mesh: %s: %s\n", file.c_str(), problem.c_str());
  return kExitFileProblem;
}

std::string ResultName(HRESULT r) {
  if (r == D3DRMERR_BADFILE) return "D3DRMERR_BADFILE";
  if (r == D3DRMERR_BADALLOC) return "D3DRMERR_BADALLOC";
  if (r == D3DRMERR_BADVALUE) return "D3DRMERR_BADVALUE";
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(r));
  return hex;
}

// A whole file's bytes: mapped when it is a regular file, else read into memory. Owns
// the descriptor and the mapping.
class FileBytes {
 public:
  FileBytes() = default;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;
  ~FileBytes() {
    if (map_) munmap(map_, map_size_);
    if (fd_ >= 0) close(fd_);
  }

  // Returns an empty string on success, else what went wrong.
  std::string Open(const char* path) {
    fd_ = open(path, O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return std::string("cannot open: ") + std::strerror(errno);
    struct stat st {};
    if (fstat(fd_, &st) != 0) return std::string("cannot open: ") + std::strerror(errno);
    if (S_ISDIR(st.st_mode)) return std::string("cannot open: ") + std::strerror(EISDIR);
    if (S_ISREG(st.st_mode)) {
      if (st.st_size == 0) return {};
      // Populated up front: the reader walks every byte, so one call beats a fault per page.
      void* p = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd_, 0);
      if (p != MAP_FAILED) {
        map_ = p;
        map_size_ = static_cast<size_t>(st.st_size);
        return {};
      }
    }
    // Pipes, devices, or a file that would not map: read it through.
    unsigned char chunk[1 << 16];
    for (;;) {
      const ssize_t n = read(fd_, chunk, sizeof chunk);
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        return std::string("cannot read: ") + std::strerror(errno);
      }
      copy_.insert(copy_.end(), chunk, chunk + n);
    }
    return {};
  }

  const unsigned char* data() const { return map_ ? static_cast<const unsigned char*>(map_) : copy_.data(); }
  size_t size() const { return map_ ? map_size_ : copy_.size(); }

 private:
  int fd_ = -1;
  void* map_ = nullptr;
  size_t map_size_ = 0;
  std::vector<unsigned char> copy_;
};

bool Is3dsPath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ext == ".3ds";
}

// Reads an .x FILE into `mesh`; on failure reports and returns false.
bool LoadX(const char* path, MeshData* mesh, int* status) {
  FileBytes bytes;
  if (std::string problem = bytes.Open(path); !problem.empty()) {
    *status = Fail(path, problem);
    return false;
  }
  if (HRESULT r = xfile::Read(bytes.data(), bytes.size(), mesh); FAILED(r)) {
    *status = Fail(path, "not a valid .x file (" + ResultName(r) + ")");
    return false;
  }
  return true;
}

// Reads a 3DS FILE into `reader`; on failure reports and returns false.
bool Load3ds(const char* path, Studio* reader, int* status) {
  FILE* f = std::fopen(path, "rb");
  if (!f) {
    *status = Fail(path, std::string("cannot open: ") + std::strerror(errno));
    return false;
  }
  struct stat st {};
  if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(f);
    *status = Fail(path, std::string("cannot open: ") + std::strerror(EISDIR));
    return false;
  }
  unsigned char magic[2] = {0, 0};
  const size_t got = std::fread(magic, 1, sizeof magic, f);
  if (got > 0 && magic[0] == 0x4D && magic[1] == 0x4D) {
    reader->bin3ds = f;
    reader->ReadPrimaryChunk();
    reader->bin3ds = nullptr;
  }
  std::fclose(f);
  std::string problem;
  if (got == 0)
    problem = "empty";
  else if (got < 2 || magic[0] != 0x4D || magic[1] != 0x4D)
    problem = "no 3DS main chunk";
  else if (reader->damaged)
    problem = "damaged";
  if (problem.empty()) return true;
  *status = Fail(path, "not a valid .3ds file (" + problem + ")");
  return false;
}

// The file's triangles as a mesh. Faces naming a vertex the file does not have are left
// out, and reported.
void MeshFrom3ds(const char* path, Studio* reader, MeshData* mesh) {
  mesh->positions = std::move(reader->verts);
  mesh->positions.resize(reader->vertex_count);
  mesh->face_sizes.reserve(reader->face_count);
  mesh->face_indices.reserve(size_t{reader->face_count} * 3);
  size_t missing = 0;
  for (unsigned i = 0; i < reader->face_count; ++i) {
    const sfaces& f = reader->facesl[i];
    if (f.a >= reader->vertex_count || f.b >= reader->vertex_count || f.c >= reader->vertex_count) {
      ++missing;
      continue;
    }
    mesh->face_sizes.push_back(3);
    mesh->face_indices.insert(mesh->face_indices.end(), {f.a, f.b, f.c});
  }
  if (missing > 0)
    std::fprintf(stderr, "facetry-mesh: %s: %zu faces name a missing vertex and are left out\n", path,
                 missing);
}

bool Load(const char* path, MeshData* mesh, int* status) {
  if (!Is3dsPath(path)) return LoadX(path, mesh, status);
  Studio reader;
  if (!Load3ds(path, &reader, status)) return false;
  MeshFrom3ds(path, &reader, mesh);
  return true;
}

void PrintInfo(size_t vertices, size_t faces, size_t triangles, size_t groups, size_t materials,
               const std::vector<D3DVECTOR>& positions) {
  D3DVECTOR lo{0, 0, 0}, hi{0, 0, 0};
  if (!positions.empty()) {
    lo = hi = positions.front();
    for (const D3DVECTOR& p : positions) {
      lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
      hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
  }
  std::printf(
      "vertices: %zu\nfaces: %zu\ntriangles: %zu\ngroups: %zu\nmaterials: %zu\n"
      "bbox: %g %g %g %g %g %g\n",
      vertices, faces, triangles, groups, materials, lo.x, lo.y, lo.z, hi.x, hi.y, hi.z);
}

// A 3DS file's counts as it stores them. Its faces are triangles; the editor makes one
// group of them whatever the materials, which are counted as the file defines them.
int Info3ds(const char* path) {
  Studio reader;
  int status = kExitOk;
  if (!Load3ds(path, &reader, &status)) return status;
  PrintInfo(reader.vertex_count, reader.face_count, reader.face_count, reader.face_count > 0 ? 1 : 0,
            reader.material_count, reader.verts);
  return kExitOk;
}

int Info(const char* path) {
  if (Is3dsPath(path)) return Info3ds(path);
  MeshData mesh;
  int status = kExitOk;
  if (!LoadX(path, &mesh, &status)) return status;
  PrintInfo(mesh.positions.size(), mesh.FaceCount(), mesh.TriangleCount(), mesh.GroupCount(),
            mesh.materials.size(), mesh.positions);
  return kExitOk;
}

// Writes through a temporary file beside the target, so a failed conversion never
// damages a file that was already there. `fill` writes the content to the open file.
template <class Fill>
std::string WriteReplacing(const std::string& path, Fill fill) {
  std::string tmp = path + ".XXXXXX";
  const int fd = mkstemp(tmp.data());
  if (fd < 0) return std::string("cannot write: ") + std::strerror(errno);
  FILE* f = fdopen(fd, "w+b");
  if (!f) {
    const int err = errno;
    close(fd);
    unlink(tmp.c_str());
    return std::string("cannot write: ") + std::strerror(err);
  }
  errno = 0;
  fill(f);
  int err = 0;
  if (std::fflush(f) != 0 || std::ferror(f)) err = errno ? errno : EIO;
  // mkstemp makes the file private; give it the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  if (std::fclose(f) != 0 && err == 0) err = errno;
  if (err == 0 && rename(tmp.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) {
    unlink(tmp.c_str());
    return std::string("cannot write: ") + std::strerror(err);
  }
  return {};
}

// One object of triangles: every polygon fanned from its first corner.
std::string Write3ds(const MeshData& mesh, const char* out) {
  Studio writer;
  writer.verts = mesh.positions;
  writer.facesl.reserve(mesh.TriangleCount());
  size_t at = 0;
  for (uint32_t n : mesh.face_sizes) {
    const uint32_t* corner = mesh.face_indices.data() + at;
    for (uint32_t k = 2; k < n; ++k) writer.facesl.push_back({corner[0], corner[k - 1], corner[k]});
    at += n;
  }
  if (writer.verts.size() > kMaxCountIn3ds || writer.facesl.size() > kMaxCountIn3ds) return kTooBigFor3ds;
  writer.vertex_count = static_cast<unsigned>(writer.verts.size());
  writer.face_count = static_cast<unsigned>(writer.facesl.size());
  return WriteReplacing(out, [&writer](FILE* f) {
    writer.bin3ds = f;
    writer.WritePrimaryChunk();
    writer.bin3ds = nullptr;
  });
}

int Convert(const char* in, const char* out, D3DRMXOFFORMAT format) {
  MeshData mesh;
  int status = kExitOk;
  if (!Load(in, &mesh, &status)) return status;
  if (Is3dsPath(out)) {
    if (std::string problem = Write3ds(mesh, out); !problem.empty()) return Fail(out, problem);
    return kExitOk;
  }
  std::string bytes;
  if (HRESULT r = xfile::Write(mesh, format, D3DRMXOFSAVE_ALL, &bytes); FAILED(r))
    return Fail(out, "cannot encode the mesh (" + ResultName(r) + ")");
  const std::string problem =
      WriteReplacing(out, [&bytes](FILE* f) { std::fwrite(bytes.data(), 1, bytes.size(), f); });
  if (!problem.empty()) return Fail(out, problem);
  return kExitOk;
}

int Usage() {
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "render") return RunRenderCommand(argc - 1, argv + 1);
  if (command == "info" && argc == 3) return Info(argv[2]);
  if (command == "convert" && (argc == 4 || argc == 5)) {
    D3DRMXOFFORMAT format = D3DRMXOF_BINARY;
    if (argc == 5) {
      const std::string option = argv[4];
      if (option == "--text")
        format = D3DRMXOF_TEXT;
      else if (option != "--binary")
        return Usage();
    }
    return Convert(argv[2], argv[3], format);
  }
  return Usage();
}
