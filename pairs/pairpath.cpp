#include "pairs/pairfile.hpp"

#include <cstdio>
#include <system_error>

namespace drelvan {

// Apart from the reader itself: a program that does not name files by
// std::filesystem (the Windows one, linked statically) is not to carry it.
PairFile readPairFile(const std::filesystem::path& path)
{
    std::error_code error;
    const bool regular = std::filesystem::is_regular_file(path, error);
#ifdef _WIN32
    std::FILE* file = regular ? _wfopen(path.c_str(), L"rb") : nullptr;
#else
    std::FILE* file = regular ? std::fopen(path.c_str(), "rb") : nullptr;
#endif
    return readPairFile(path.filename().u16string(), file);
}

} // namespace drelvan
