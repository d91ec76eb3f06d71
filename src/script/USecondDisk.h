// /tolvex: finding and starting the setup program of a second product disk.
#pragma once

#include <string>
#include <vector>

namespace tolvex {

void RunSecondDisk(const std::string& installer, const std::vector<std::string>& arguments);

}  // namespace tolvex
