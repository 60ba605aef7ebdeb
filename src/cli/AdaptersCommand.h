#pragma once
// The `adapters` command's output: what is attached, usable or not, and why.
#include <string>
#include <vector>

#include "spi/AdapterListing.h"

namespace zorvek::cli {

std::string FormatAdapterTable(const std::vector<AdapterListing>& adapters);
std::string FormatAdapterJson(const std::vector<AdapterListing>& adapters);

}  // namespace zorvek::cli
