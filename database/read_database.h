// Reads the store of a database made by OPL's database keywords.
#pragma once

#include <cstddef>
#include <string>

#include "database/database.h"

namespace zentoro {

// The store with the two bytes that follow each 16 KiB page (from 0x4020
// on) removed: every offset inside it counts without them.
std::string withoutPageMarkers(const unsigned char* data, size_t size);

// `data` is the store without its page markers.
Database readDatabase(const unsigned char* data, size_t size);

}  // namespace zentoro
