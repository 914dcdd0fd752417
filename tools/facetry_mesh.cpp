// facetry-mesh: reports on, checks, converts and draws .x and .3ds mesh files from the
// command line. `facetry-mesh --help` lists the commands and options; options may stand
// anywhere on the line.
//
// A name ending in .3ds (in any case) is a 3DS file, any other an .x file.
//
// Kept free of the window layer so a run costs little more than reading the file.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/studio.h"
#include "platform/rm/mesh_data.h"
#include "platform/rm/types.h"
#include "platform/rm/xfile/xfile.h"
#include "tools/mesh_check.h"
#include "tools/mesh_files.h"
#include "tools/render_command.h"

namespace {

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
  if (!LoadMesh(in, &mesh, &status)) return status;
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

constexpr const char* kUsage =
    "usage: facetry-mesh info FILE\n"
    "       facetry-mesh check FILE\n"
    "       facetry-mesh convert IN OUT [--text|--binary]\n"
    "       facetry-mesh render IN OUT.png [--size WxH] [--view front|side|top] [--mode solid|wireframe|points]\n"
    "Try 'facetry-mesh --help' for more.\n";

constexpr const char* kHelp =
    "usage: facetry-mesh COMMAND [OPTION]... FILE...\n"
    "Reports on, checks, converts and draws .x and .3ds mesh files.\n"
    "\n"
    "Commands:\n"
    "  info FILE          counts and bounding box, one \"key: value\" per line\n"
    "  check FILE         counts degenerate faces (fewer than 3 distinct corners, or no\n"
    "                     area), edges used by more than two faces and vertices no face\n"
    "                     uses, one \"key: value\" per line; fails when any is found\n"
    "  convert IN OUT     writes IN's mesh to OUT, .x or .3ds by OUT's extension\n"
    "  render IN OUT.png  draws IN's mesh into a PNG image\n"
    "\n"
    "Options (anywhere on the line):\n"
    "  -o, --output FILE  the output of convert or render, in place of the second name\n"
    "  --text, --binary   the encoding of an .x output (binary unless --text)\n"
    "  --size WxH         render: the image size, 1 to 8192 each way (640x480)\n"
    "  --view VIEW        render: front, side or top (front)\n"
    "  --mode MODE        render: solid, wireframe or points (solid)\n"
    "  -h, --help         this text\n"
    "  --version          the version\n"
    "  --                 the words after it are file names, even if they start with '-'\n"
    "\n"
    "A name ending in .3ds (any case) is read and written as 3DS, any other as .x.\n"
    "In check, corners at exactly the same position count as one vertex.\n"
    "\n"
    "Exit status:\n"
    "  0  done (check: nothing found)\n"
    "  1  a file could not be read or written, or check found a problem\n"
    "  2  the command line was wrong\n";

// The command line, taken apart. Options are recognised wherever they stand.
struct Request {
  std::string command;
  std::vector<std::string> files;
  std::string output;
  bool has_output = false;
  bool text = false, binary = false;
  bool help = false, version = false;
  std::vector<std::string> render_options;  // option and value pairs, for render
  std::string problem;                      // the first thing wrong with the line
};

Request Parse(int argc, char** argv) {
  Request r;
  const auto wrong = [&r](const std::string& problem) {
    if (r.problem.empty()) r.problem = problem;
  };
  bool only_names = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool is_option = !only_names && arg.size() > 1 && arg[0] == '-';
    if (!is_option) {
      if (r.command.empty())
        r.command = arg;
      else
        r.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      only_names = true;
    } else if (arg == "-h" || arg == "--help") {
      r.help = true;
    } else if (arg == "--version") {
      r.version = true;
    } else if (arg == "--text") {
      r.text = true;
    } else if (arg == "--binary") {
      r.binary = true;
    } else if (arg == "-o" || arg == "--output" || arg == "--size" || arg == "--view" || arg == "--mode") {
      if (i + 1 >= argc) {
        wrong(arg + " needs a value");
        continue;
      }
      const std::string value = argv[++i];
      if (arg == "-o" || arg == "--output") {
        if (r.has_output) wrong("more than one output named");
        r.output = value;
        r.has_output = true;
      } else {
        r.render_options.insert(r.render_options.end(), {arg, value});
      }
    } else {
      wrong("unknown option " + arg);
    }
  }
  return r;
}

int Usage(const std::string& problem) {
  std::fprintf(stderr, "facetry-mesh: %s\n%s", problem.c_str(), kUsage);
  return kExitUsage;
}

int Check(const char* path) {
  MeshData mesh;
  int status = kExitOk;
  size_t left_out = 0;
  if (!LoadMesh(path, &mesh, &status, &left_out)) return status;
  MeshCheck check = CheckMesh(mesh);
  // A face naming a vertex the file does not have has fewer than three corners.
  check.faces += left_out;
  check.degenerate_faces += left_out;
  std::printf(
      "vertices: %zu\nfaces: %zu\nedges: %zu\ndegenerate_faces: %zu\nnonmanifold_edges: %zu\n"
      "unreferenced_vertices: %zu\n",
      check.vertices, check.faces, check.edges, check.degenerate_faces, check.nonmanifold_edges,
      check.unreferenced_vertices);
  return check.Clean() && left_out == 0 ? kExitOk : kExitFileProblem;
}

// The input and output of convert and render: two names, or one and -o.
bool InAndOut(const Request& r, std::string* in, std::string* out) {
  if (r.files.size() == 2 && !r.has_output) {
    *in = r.files[0];
    *out = r.files[1];
    return true;
  }
  if (r.files.size() == 1 && r.has_output) {
    *in = r.files[0];
    *out = r.output;
    return true;
  }
  return false;
}

int Run(const Request& r) {
  const bool single = r.command == "info" || r.command == "check";
  const bool pair = r.command == "convert" || r.command == "render";
  if (!single && !pair) return Usage(r.command.empty() ? "no command given" : "unknown command " + r.command);
  if (!r.render_options.empty() && r.command != "render")
    return Usage(r.render_options[0] + " is an option of render");
  if ((r.text || r.binary) && r.command != "convert") return Usage("--text and --binary are options of convert");
  if (r.text && r.binary) return Usage("--text and --binary together");
  if (single) {
    if (r.has_output) return Usage(r.command + " writes no file");
    if (r.files.size() != 1) return Usage(r.command + " takes one file");
    return r.command == "info" ? Info(r.files[0].c_str()) : Check(r.files[0].c_str());
  }
  std::string in, out;
  if (!InAndOut(r, &in, &out)) return Usage(r.command + " takes an input and an output file");
  if (r.command == "convert") return Convert(in.c_str(), out.c_str(), r.text ? D3DRMXOF_TEXT : D3DRMXOF_BINARY);
  std::vector<std::string> words = {"render", in, out};
  words.insert(words.end(), r.render_options.begin(), r.render_options.end());
  std::vector<char*> render_argv;
  for (std::string& w : words) render_argv.push_back(w.data());
  return RunRenderCommand(static_cast<int>(render_argv.size()), render_argv.data());
}

}  // namespace

int main(int argc, char** argv) {
  const Request request = Parse(argc, argv);
  // Asking for help or the version is never a usage error.
  if (request.help) {
    std::fputs(kHelp, stdout);
    return kExitOk;
  }
  if (request.version) {
    std::printf("facetry-mesh %s\n", FACETRY_VERSION);
    return kExitOk;
  }
  if (!request.problem.empty()) return Usage(request.problem);
  return Run(request);
}
