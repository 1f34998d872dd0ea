#ifndef SYNC_E2E_TEMPDIR_H
#define SYNC_E2E_TEMPDIR_H

#include <string>

namespace E2e {

// A fresh directory under $TMPDIR (else /tmp), removed with everything in it on destruction.
class TempDir {
  public:
    explicit TempDir(const std::string& prefix = "sync-e2e");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Empty when the directory could not be made.
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace E2e

#endif
