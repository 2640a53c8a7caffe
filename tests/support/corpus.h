// The real HOD files beside the repository (../shared/corpus/hod, or GANTRY_CORPUS_DIR). Tests
// skip the files that are not there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gantry::testing {

// Files that read, validate, save and read back cleanly.
const std::vector<std::string>& CleanCorpusFiles();
// Truncated or padded files: a clear message and what was read is kept.
const std::vector<std::string>& DamagedCorpusFiles();
// HOD 2.0 files (with a POOL chunk): read, convert to classic and write back cleanly.
const std::vector<std::string>& Hod2CorpusFiles();

// The file's full path, or empty when it is not there.
std::string CorpusFile(const std::string& name);
std::vector<std::uint8_t> FileBytes(const std::string& path);

}  // namespace gantry::testing
