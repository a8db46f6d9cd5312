#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace karuneo::extract {

// libarchive converts the names it reads into the calling thread's
// character set; while one of these lives, that is UTF-8 on this thread
// only, whatever the process's locale.
class Utf8Names {
  public:
    Utf8Names();
    ~Utf8Names();
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

  private:
    void* own_ = nullptr;
    void* before_ = nullptr;
};

// `bytes` read in the character set `from` (an iconv name such as "CP932"),
// in UTF-8; none when they are not text in it.
std::optional<std::string> ToUtf8(std::string_view bytes, const char* from);

bool IsUtf8(std::string_view bytes);

}  // namespace karuneo::extract
