// Large text buffers (the submission text of a million records is about a
// hundred megabytes). Touching fresh memory page by page costs one page
// fault per 4 KiB, which on a virtual machine outweighs writing the bytes;
// asking the kernel for huge pages makes it one fault per 2 MiB.
#pragma once

#include <string>

namespace zelmora {

// Reserves room for `bytes` more characters in `text` and, when the room is
// large, advises the kernel to back it with huge pages. The advice is only a
// hint: where the system does not take it, nothing changes.
void ReserveLargeText(std::string& text, size_t bytes);

}  // namespace zelmora
