#include <iconv.h>
#include <locale.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/extract/utf8_names.h"

namespace karuneo::extract {

Utf8Names::Utf8Names() {
    locale_t own = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (own == locale_t{}) {
        return;  // names that need converting will be refused, never mangled
    }
    own_ = own;
    before_ = ::uselocale(own);
}

Utf8Names::~Utf8Names() {
    if (own_ != nullptr) {
        ::uselocale(static_cast<locale_t>(before_));
        ::freelocale(static_cast<locale_t>(own_));
    }
}

std::optional<std::string> ToUtf8(std::string_view bytes, const char* from) {
    const iconv_t convert = ::iconv_open("UTF-8", from);
    if (convert == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string in(bytes);
    std::string out(bytes.size() * 4 + 4, '\0');
    char* in_at = in.data();
    std::size_t in_left = in.size();
    char* out_at = out.data();
    std::size_t out_left = out.size();
    const std::size_t done = ::iconv(convert, &in_at, &in_left, &out_at, &out_left);
    ::iconv_close(convert);
    if (done == static_cast<std::size_t>(-1) || in_left != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - out_left);
    return out;
}

}  // namespace karuneo::extract
