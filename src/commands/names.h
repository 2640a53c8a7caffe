// Keeping names unique within a family. Two rules:
//  - name boxes (materials, meshes, simple meshes, markers, lights, dock paths): the ending of 3,
//    2 or 1 characters that is a number written without leading zeros is raised by one (Gun12
//    becomes Gun13, Gun99 Gun100), otherwise the digit 1 is appended;
//  - joint labels: endings of 4, 3, 2 or 1 characters that read as a number as a whole, leading
//    zeros allowed (Gun0009 becomes Gun10).
// The search repeats until no element but the named one (`self`) has the name; the clash message
// is shown once per check, naming the first clashing element (counted from 1).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "common/ui.h"

namespace gantry {

std::string RaiseNameEnding(const std::string& name);
std::string RaiseJointNameEnding(const std::string& name);

// "Name is not unique!" + CR LF + "Name clash with object number: " + n (exclamation).
std::string MakeUniqueName(const std::vector<std::string>& names, std::optional<std::size_t> self,
                           std::string name, Ui& ui);
// "Name clash with object #" + n (no icon).
std::string MakeUniqueJointName(const std::vector<std::string>& names,
                                std::optional<std::size_t> self, std::string name, Ui& ui);

}  // namespace gantry
