// The Linux ProcessImagePath with its /proc root open to tests.
#pragma once

#include <cstdint>
#include <string>

// The target of <procRoot>/<pid>/exe; empty when it can't be read, and for
// pid <= 0 without looking.
std::string ProcessImagePathIn(const std::string& procRoot, std::int32_t pid);
