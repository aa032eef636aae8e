#include <cstdio>

#include "convert/zentoro.h"
#include "reader/header_check.h"

namespace zentoro {

int checkWordFile(const char* filePath) {
    std::FILE* file = std::fopen(filePath, "rb");
    if (file == nullptr) return 1;
    unsigned char header[WordHeaderCheckSize];
    InputStream in{header, std::fread(header, 1, sizeof header, file), 0};
    std::fclose(file);
    return checkHeaderUids(in) ? 0 : 1;
}

}  // namespace zentoro
