#include <windows.h>

#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "app/cli/console_stream.h"

namespace karuneo::cli {
namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode) != 0;
}

// How many leading bytes of `bytes` end on a whole UTF-8 character: a
// character cut by a full buffer waits for its other bytes.
std::size_t WholeCharacters(std::string_view bytes) {
    std::size_t lead = bytes.size();
    for (int back = 0; back < 4 && lead > 0; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[lead - 1]);
        if ((byte & 0xC0) != 0x80) {
            const int length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
            return back + 1 >= length ? bytes.size() : lead - 1;
        }
        --lead;
    }
    return bytes.size();
}

// Text that is not UTF-8 shows U+FFFD where it breaks, rather than nothing.
std::wstring Utf16ForConsole(std::string_view bytes) {
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, wide.data(), length);
    return wide;
}

// Gathers the UTF-8 the tool writes and hands it to the console as UTF-16
// each time the stream is flushed.
class ConsoleBuffer final : public std::streambuf {
  public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return sync() == 0 ? traits_type::not_eof(c) : traits_type::eof();
        }
        pending_.push_back(traits_type::to_char_type(c));
        return pending_.size() < kFlushAt || sync() == 0 ? c : traits_type::eof();
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        return pending_.size() < kFlushAt || sync() == 0 ? count : 0;
    }

    int sync() override {
        const std::size_t whole = WholeCharacters(pending_);
        const std::wstring wide = Utf16ForConsole(std::string_view(pending_).substr(0, whole));
        pending_.erase(0, whole);
        for (std::size_t done = 0; done < wide.size();) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(wide.size() - done);
            if (!::WriteConsoleW(console_, wide.data() + done, chunk, &written, nullptr) ||
                written == 0) {
                return -1;
            }
            done += written;
        }
        return 0;
    }

  private:
    static constexpr std::size_t kFlushAt = 4096;
    HANDLE console_;
    std::string pending_;
};

// The console's stream, or `fallback` (bytes as they are) when the handle
// is a file or a pipe.
std::ostream& StreamFor(DWORD which, std::ostream& fallback) {
    const HANDLE handle = ::GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !IsConsole(handle)) {
        return fallback;
    }
    // Never destroyed: the tool may still write while static objects end.
    auto* const stream = new std::ostream(new ConsoleBuffer(handle));
    if (&fallback == &std::cerr) {
        stream->setf(std::ios::unitbuf);
    }
    return *stream;
}

}  // namespace

std::ostream& StandardOutput() {
    static std::ostream& stream = StreamFor(STD_OUTPUT_HANDLE, std::cout);
    return stream;
}

std::ostream& StandardError() {
    static std::ostream& stream = StreamFor(STD_ERROR_HANDLE, std::cerr);
    return stream;
}

}  // namespace karuneo::cli
