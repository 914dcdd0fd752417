// facetry-mesh: reports on and converts .x mesh files from the command line.
//
//   facetry-mesh info FILE
//   facetry-mesh convert IN OUT [--text|--binary]
//   facetry-mesh render IN.x OUT.png [options]   (see render_command.h)
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

// Reads FILE into `mesh`; on failure reports and returns false.
bool Load(const char* path, MeshData* mesh, int* status) {
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

int Info(const char* path) {
  MeshData mesh;
  int status = kExitOk;
  if (!Load(path, &mesh, &status)) return status;
  D3DVECTOR lo{0, 0, 0}, hi{0, 0, 0};
  if (!mesh.positions.empty()) {
    lo = hi = mesh.positions.front();
    for (const D3DVECTOR& p : mesh.positions) {
      lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
      hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
  }
  std::printf(
      "vertices: %zu\nfaces: %zu\ntriangles: %zu\ngroups: %zu\nmaterials: %zu\n"
      "bbox: %g %g %g %g %g %g\n",
      mesh.positions.size(), mesh.FaceCount(), mesh.TriangleCount(), mesh.GroupCount(), mesh.materials.size(),
      lo.x, lo.y, lo.z, hi.x, hi.y, hi.z);
  return kExitOk;
}

// Writes through a temporary file beside the target, so a failed conversion never
// damages a file that was already there.
std::string WriteFileReplacing(const std::string& path, const std::string& bytes) {
  std::string tmp = path + ".XXXXXX";
  const int fd = mkstemp(tmp.data());
  if (fd < 0) return std::string("cannot write: ") + std::strerror(errno);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : EIO;
      close(fd);
      unlink(tmp.c_str());
      return std::string("cannot write: ") + std::strerror(err);
    }
    done += static_cast<size_t>(n);
  }
  // mkstemp makes the file private; give it the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  if (close(fd) != 0 || rename(tmp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    unlink(tmp.c_str());
    return std::string("cannot write: ") + std::strerror(err);
  }
  return {};
}

int Convert(const char* in, const char* out, D3DRMXOFFORMAT format) {
  MeshData mesh;
  int status = kExitOk;
  if (!Load(in, &mesh, &status)) return status;
  std::string bytes;
  if (HRESULT r = xfile::Write(mesh, format, D3DRMXOFSAVE_ALL, &bytes); FAILED(r))
    return Fail(out, "cannot encode the mesh (" + ResultName(r) + ")");
  if (std::string problem = WriteFileReplacing(out, bytes); !problem.empty()) return Fail(out, problem);
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
