// Writing a model as a HOD file. Two passes: ComputeLengths brings every derived field up to
// date (chunk lengths, text lengths, parameter data sizes, the owner's NUL, dock formats), then
// WriteHod emits the chunks in the fixed order of the model's HOD type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hod/model.h"

namespace gantry {

// The length pass; changes the model in place. Returns false (with *error set) only when a
// chunk would exceed what a HOD can describe.
bool ComputeLengths(HodModel& model, std::string* error = nullptr);

// The write pass, into memory. Lengths and counts are written as the model holds them; a model
// whose counts or lengths do not describe its data, or that goes beyond what the reader can hold
// (reader_limits.h), is refused (false, *error says why) rather than written as a file that
// cannot be read back.
bool WriteHod(const HodModel& model, std::vector<std::uint8_t>& bytes,
              std::string* error = nullptr);

// Both passes on a copy: the bytes a save would write, leaving the model untouched.
bool EncodeHod(const HodModel& model, std::vector<std::uint8_t>& bytes,
               std::string* error = nullptr);
// The same for a model the caller has no further use for: both passes on it, without a copy.
bool EncodeHod(HodModel&& model, std::vector<std::uint8_t>& bytes, std::string* error = nullptr);

}  // namespace gantry
