#include "common/byte_writer.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace gantry {

void ByteWriter::Reserve(std::size_t bytes) {
  bytes_.reserve(bytes);
#ifdef __linux__
  // A big buffer is otherwise faulted in a small page at a time, which costs more than filling
  // it; huge pages cut that to a few hundred faults for a large model. Only whole huge pages
  // inside the buffer are advised, and the advice may be ignored.
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  if (bytes_.capacity() >= 4 * kHugePage) {
    const auto start = reinterpret_cast<std::uintptr_t>(bytes_.data());
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (start + bytes_.capacity()) & ~(kHugePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  }
#endif
}

// Inserting copies straight into the reserved space; growing with resize would clear the bytes
// first and so touch every byte twice. Out of line, where the size is not a constant: GCC's
// overflow warnings misjudge the inlined insert of a few constant bytes.
void ByteWriter::Append(const void* data, std::size_t n) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + n);
}

}  // namespace gantry
