// A saved registry (.reg export format) as a scenario's starting point: read and checked
// before anything runs, then merged into the fresh machine's registry the way regedit
// imports a file, so Outlook's and the add-in's own registration stay unless the file
// removes them.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"
#include "sim/reg_file.h"

namespace korvanel::tool {

// The keys of the file; an unreadable or malformed file, or a key outside HKEY_CURRENT_USER,
// HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT, is an InputFailure naming the file and the line.
std::vector<sim::RegFileKey> readRegistryFile(const std::string& path);

// Applies the keys in order: "[-path]" deletes the key and everything below it, a value
// "name"=- deletes the value, everything else creates keys and writes values. False when a
// write failed.
bool mergeRegistry(platform::Registry& registry, const std::vector<sim::RegFileKey>& keys);

}  // namespace korvanel::tool
