// The host framework's file helper and text-file object, through which the
// file writers write submission files. Each record is written unchanged (it
// already ends in its line end). The file appears under its name only when
// it is closed: records go to a temporary file in the same folder, renamed
// at the close, so a failed run never leaves a half-written file. A text
// file released without being closed removes its temporary file.
#pragma once

#include <memory>

#include "zelmora/files.h"

namespace zelmora {

// The in-process implementation writing to the local file system.
std::shared_ptr<FileHelper> NewLocalFileHelper();

}  // namespace zelmora
