#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/error.h"
#include "platform/temp_files.h"

namespace zelmora {

namespace {

constexpr size_t kBufferLimit = 64 * 1024;

Error PathNotFound(const std::string& path) { return {76, "Path not found: " + path}; }
Error AccessError(const std::string& path) { return {75, "Path/File access error: " + path}; }
Error FileNotFound(const std::string& path) { return {53, "File not found: " + path}; }
Error DiskFull(const std::string& path) { return {61, "Disk full: " + path}; }

// The runtime error for a failed write or sync of `path`.
Error WriteError(int error, const std::string& path) {
  if (error == ENOSPC || error == EDQUOT || error == EFBIG) return DiskFull(path);
  return AccessError(path);
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

class LocalTextFile : public TextFile {
 public:
  LocalTextFile(std::string finalPath, std::string tempPath, int fd, std::unique_ptr<TemporaryPathEntry> listed)
      : finalPath_(std::move(finalPath)), tempPath_(std::move(tempPath)), fd_(fd), listed_(std::move(listed)) {}

  ~LocalTextFile() override {
    if (fd_ >= 0) {
      ::close(fd_);
      ::unlink(tempPath_.c_str());
    }
  }

  void Write(std::string_view record) override {
    EnsureOpen();
    buffer_.append(record);
    if (buffer_.size() >= kBufferLimit) WriteBuffer();
  }

  void Flush() override {
    EnsureOpen();
    WriteBuffer();
  }

  void Close() override {
    if (closed_) return;  // closing twice is harmless
    EnsureOpen();
    try {
      WriteBuffer();
      if (::fsync(fd_) != 0) throw WriteError(errno, finalPath_);
    } catch (...) {
      Discard();
      throw;
    }
    int fd = fd_;
    fd_ = -1;
    closed_ = true;
    if (::close(fd) != 0) {
      int error = errno;
      ::unlink(tempPath_.c_str());
      listed_->Release();
      throw WriteError(error, finalPath_);
    }
    // rename() replaces an existing file atomically: a reader sees the old
    // file or the new one, never a part of it.
    const bool renamed = ::rename(tempPath_.c_str(), finalPath_.c_str()) == 0;
    const int error = errno;
    if (!renamed) ::unlink(tempPath_.c_str());
    listed_->Release();
    if (!renamed) {
      if (error == ENOENT) {
        // Either the folder went away, or someone removed the temporary file.
        struct stat info;
        bool folderThere = ::stat(FolderOf(finalPath_).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        throw folderThere ? FileNotFound(tempPath_) : PathNotFound(finalPath_);
      }
      if (error == ENOSPC || error == EDQUOT) throw DiskFull(finalPath_);
      throw AccessError(finalPath_);
    }
  }

 private:
  // After a close, or after a failure that discarded the temporary file,
  // the file takes nothing more.
  void EnsureOpen() const {
    if (fd_ < 0) throw AccessError(finalPath_);
  }

  void WriteBuffer() {
    size_t done = 0;
    while (done < buffer_.size()) {
      ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        int error = errno;
        buffer_.clear();
        Discard();
        throw WriteError(error, finalPath_);
      }
      done += static_cast<size_t>(n);
    }
    buffer_.clear();
  }

  void Discard() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(tempPath_.c_str());
    listed_->Release();
  }

  std::string finalPath_;
  std::string tempPath_;
  int fd_;
  // Listed for the program's signal handler while the temporary file exists.
  std::unique_ptr<TemporaryPathEntry> listed_;
  bool closed_ = false;
  std::string buffer_;
};

class LocalFileHelper : public FileHelper {
 public:
  std::shared_ptr<TextFile> Open(const std::shared_ptr<Folder>& folder, std::string_view fileName, int32_t,
                                 std::string_view, int32_t, int32_t) override {
    std::string path;
    if (folder) {
      path = folder->path();
      if (!path.empty() && path.back() != '/') path += '/';
    }
    path += fileName;
    if (fileName.empty() || path.back() == '/') throw AccessError(path);

    std::string folderPath = FolderOf(path);
    struct stat info;
    if (::stat(folderPath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) throw PathNotFound(path);
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) throw AccessError(path);

    // The temporary file is hidden, beside the final one (so the rename
    // stays inside one file system), named after the writing process (see
    // temp_files.h), and created exclusively so that two writers never
    // share it. It is listed for the signal handler before it exists, so
    // that no moment leaves it unlisted. O_CREAT with 0666 lets the umask
    // decide the final permissions, as for any new file.
    std::random_device seed;
    std::mt19937_64 random(seed() ^ (static_cast<uint64_t>(::getpid()) << 32));
    const std::string prefix = folderPath + "/";
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string tempPath = prefix + TemporaryName(BaseName(path), std::to_string(random() % 1000000000));
      auto listed = std::make_unique<TemporaryPathEntry>(tempPath);
      int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) {
        LockTemporaryFile(fd);
        return std::make_shared<LocalTextFile>(path, std::move(tempPath), fd, std::move(listed));
      }
      if (errno == EEXIST || errno == EINTR) continue;
      if (errno == ENOENT || errno == ENOTDIR) throw PathNotFound(path);
      if (errno == ENOSPC || errno == EDQUOT) throw DiskFull(path);
      throw AccessError(path);
    }
    throw AccessError(path);
  }
};

}  // namespace

std::shared_ptr<FileHelper> NewLocalFileHelper() { return std::make_shared<LocalFileHelper>(); }

}  // namespace zelmora
