#include "platform/d3dx/files.h"

namespace d3dx {

bool readModelFile(const char* name, size_t maxBytes, std::vector<uint8_t>& bytes) {
    for (const NameEncoding encoding :
         {NameEncoding::cp932, NameEncoding::utf8, NameEncoding::system}) {
        if (readWholeFile(name, encoding, maxBytes, bytes)) return true;
    }
    return false;
}

}  // namespace d3dx
