// The host framework's file helper and text-file object, through which the
// business object's file writers write their files (the submission files of
// both layouts and the French declaration file). A host supplies its own
// through HostServices::NewFileHelper; the in-process one writes to the
// local file system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "zelmora/object.h"

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

// A text file opened for writing: each record is written unchanged (it
// already ends in its line end).
class TextFile : public Object {
 public:
  std::string_view Kind() const override { return "TextFile"; }
  virtual void Write(std::string_view record) = 0;
  // The two closing operations the writers call, in this order: the first
  // flushes what was written, the second closes the file.
  virtual void Flush() = 0;
  virtual void Close() = 0;
};

// Opens the text files the writers write into.
class FileHelper : public Object {
 public:
  std::string_view Kind() const override { return "FileHelper"; }
  // open(folder, file name, mode, text, -1, -1): a writable text file named
  // `fileName` inside `folder` (or the path itself when the folder is
  // Nothing). Fails by throwing Error with the runtime's file errors (53,
  // 75, 76).
  virtual std::shared_ptr<TextFile> Open(const std::shared_ptr<Folder>& folder, std::string_view fileName,
                                         int32_t mode, std::string_view text, int32_t option1,
                                         int32_t option2) = 0;
};

}  // namespace zelmora
