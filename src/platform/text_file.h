// The host framework's file helper and text-file object, through which the
// file writers write submission files. Each record is written unchanged (it
// already ends in its line end). The file appears under its name only when
// it is closed: records go to a temporary file in the same folder, renamed
// at the close, so a failed run never leaves a half-written file. A text
// file released without being closed removes its temporary file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/object.h"

namespace zelmora {

// A folder object of the host framework (the business object's FolderFileIntraWeb).
class Folder : public Object {
 public:
  explicit Folder(std::string path) : path_(std::move(path)) {}
  std::string_view Kind() const override { return "Folder"; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class TextFile : public Object {
 public:
  std::string_view Kind() const override { return "TextFile"; }
  virtual void Write(std::string_view record) = 0;
  // The two closing operations the writers call, in this order: the first
  // flushes what was written, the second closes the file and gives it its name.
  virtual void Flush() = 0;
  virtual void Close() = 0;
};

class FileHelper : public Object {
 public:
  std::string_view Kind() const override { return "FileHelper"; }
  // open(folder, file name, mode, text, -1, -1): a writable text file named
  // `fileName` inside `folder` (or the path itself when the folder is
  // Nothing). Fails with the runtime's file errors (53, 75, 76).
  virtual std::shared_ptr<TextFile> Open(const std::shared_ptr<Folder>& folder, std::string_view fileName,
                                         int32_t mode, std::string_view text, int32_t option1,
                                         int32_t option2) = 0;
};

// The in-process implementation writing to the local file system.
std::shared_ptr<FileHelper> NewLocalFileHelper();

}  // namespace zelmora
