#include "platform/rm/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

SaveFaults& Faults() {
  static SaveFaults faults;
  return faults;
}

// write(), except that an injected full disk takes what fits and then refuses with ENOSPC.
ssize_t WriteSome(int fd, const char* data, size_t size, size_t written_before) {
  if (const std::optional<size_t> full = Faults().disk_full_after) {
    const size_t room = written_before < *full ? *full - written_before : 0;
    if (room == 0) {
      errno = ENOSPC;
      return -1;
    }
    size = std::min(size, room);
  }
  return write(fd, data, size);
}

}  // namespace

void SetSaveFaults(const SaveFaults& faults) { Faults() = faults; }

// Writes to a temporary file beside the target and renames it over the target, so the
// old file is either fully replaced or not touched at all.
HRESULT WriteFileReplacing(const std::string& target, const std::string& bytes) {
  std::string name = target + ".tmp-XXXXXX";
  const int fd = Faults().cannot_create ? (errno = EACCES, -1) : mkstemp(name.data());
  if (fd < 0) return D3DRMERR_BADFILE;
  struct TempFile {
    int fd;
    const std::string& path;
    bool committed = false;
    ~TempFile() {
      if (fd >= 0) close(fd);
      if (!committed) unlink(path.c_str());
    }
  } temp{fd, name};

  // mkstemp makes the file private; a saved mesh gets the old file's mode or the usual one.
  struct stat st {};
  fchmod(fd, stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = WriteSome(fd, bytes.data() + done, bytes.size() - done, done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return D3DRMERR_BADFILE;
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0) return D3DRMERR_BADFILE;
  const int closing = temp.fd;
  temp.fd = -1;
  if (close(closing) != 0) return D3DRMERR_BADFILE;
  if (Faults().rename_refused || std::rename(name.c_str(), target.c_str()) != 0) return D3DRMERR_BADFILE;
  temp.committed = true;
  return D3DRM_OK;
}
