// The real HOD files beside the repository (../shared/corpus/hod, or GANTRY_CORPUS_DIR). Tests
// skip the files that are not there, except under CI (the CI variable set), where a missing
// corpus is a failure: a run that silently skipped every real file would prove nothing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace gantry::testing {

// Files that read, validate, save and read back cleanly.
const std::vector<std::string>& CleanCorpusFiles();
// Clean files that a save writes in newer layouts; it writes the others back byte for byte.
const std::set<std::string>& RewrittenCorpusFiles();
// Truncated or padded files: a clear message and what was read is kept.
const std::vector<std::string>& DamagedCorpusFiles();
// HOD 2.0 files (with a POOL chunk): read, convert to classic and write back cleanly.
const std::vector<std::string>& Hod2CorpusFiles();

// The file's full path, or empty when it is not there: a HOD of the corpus, or one of its other
// files (OBJ, shader scripts, textures).
std::string CorpusFile(const std::string& name);
std::string CorpusOtherFile(const std::string& name);
std::vector<std::uint8_t> FileBytes(const std::string& path);
// A corpus HOD copied into `folder`, for tests that open it in the editor: the editor writes its
// debug.log beside the file it opened, which must not be the shared corpus. Empty when absent.
std::string CopyCorpusFile(const std::string& name, const std::filesystem::path& folder);

// Whether a missing corpus fails the test rather than skipping it.
bool CorpusRequired();

}  // namespace gantry::testing

// Skips the test (or fails it under CI) because corpus files are missing; `message` is streamed.
#define GANTRY_CORPUS_ABSENT(message)                                                   \
  do {                                                                                  \
    if (::gantry::testing::CorpusRequired()) GTEST_FAIL() << message << " (CI is set)"; \
    GTEST_SKIP() << message;                                                            \
  } while (0)
