// A database as read: its tables, each with its field names and records,
// the values already in the words the converter writes them, UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zentoro {

struct DatabaseTable {
    std::string name;
    std::vector<std::string> fields;
    std::vector<std::vector<std::string>> records;  // one value per field; absent ones empty
};

struct Database {
    std::vector<DatabaseTable> tables;
    bool damaged = false;      // cut short or pointing outside itself
    int unsupportedType = -1;  // a field type that cannot be read, if any
    bool limitReached = false; // more values than a store of its size can hold
    uint64_t valuesLeft = 0;   // while reading: how many more values may be read
};

}  // namespace zentoro
