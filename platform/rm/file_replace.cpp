#include "platform/rm/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

// Writes to a temporary file beside the target and renames it over the target, so the
// old file is either fully replaced or not touched at all.
HRESULT WriteFileReplacing(const std::string& target, const std::string& bytes) {
  std::string name = target + ".tmp-XXXXXX";
  const int fd = mkstemp(name.data());
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
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return D3DRMERR_BADFILE;
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0) return D3DRMERR_BADFILE;
  const int closing = temp.fd;
  temp.fd = -1;
  if (close(closing) != 0) return D3DRMERR_BADFILE;
  if (std::rename(name.c_str(), target.c_str()) != 0) return D3DRMERR_BADFILE;
  temp.committed = true;
  return D3DRM_OK;
}
