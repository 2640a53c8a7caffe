// Writing a model in the later dialect (POOL streams), and what a model of that dialect loses
// when written as a classic file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hod/model.h"

namespace gantry {

// Why the model cannot be written in the later dialect; empty when it can. Parts of such files
// whose meaning is unknown (the scar meshes' checksums, the k-DOP's hull) can only be written
// as they were read, so a model whose geometry no longer matches them is refused.
std::vector<std::string> Hod2WriteBlockers(const HodModel& model);

// What a classic file cannot hold of a model read from the later dialect; empty for a classic
// model.
std::vector<std::string> ClassicLosses(const HodModel& model);

// The texts a save shows: the warning that lists what a classic file leaves out, and the refusal
// that lists why a HOD 2.0 file cannot be written.
std::string ClassicLossText(const std::vector<std::string>& losses);
std::string Hod2RefusalText(const std::vector<std::string>& reasons);

// The file's bytes. False (with *error) when the model is refused or does not describe its data.
bool EncodeHod2(const HodModel& model, std::vector<std::uint8_t>& bytes,
                std::string* error = nullptr);

}  // namespace gantry
