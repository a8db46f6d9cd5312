// The Windows layer against the least any tool must do: for the same count
// of empty files in D\A\B, the engine's walk (no journal) and a bare loop of
// FindFirstFileExW and MoveFileExW over B. Prints the median of each and
// their ratio:
//
//   win32-moves.exe [FILES] [REPS] [SCRATCH]
//
// Under Wine each move costs a pass over the folder (its lookups ignore
// case), so both sides grow with the square of the count there; on NTFS
// they grow with the count.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "bench/win32_now_ms.h"
#include "engine/native_file_system.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"
#include "engine/unnest.h"
#include "engine/utf16_win32.h"

namespace {

using karuneo::bench::NowMs;

// D\A\B holding `files` empty files; returns D.
std::wstring MakeChain(const std::wstring& scratch, const std::wstring& name, int files) {
    const std::wstring d = scratch + L"\\" + name;
    const std::wstring b = d + L"\\A\\B";
    ::CreateDirectoryW(d.c_str(), nullptr);
    ::CreateDirectoryW((d + L"\\A").c_str(), nullptr);
    ::CreateDirectoryW(b.c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
        const std::wstring file = b + L"\\f" + std::to_wstring(i);
        HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        ::CloseHandle(handle);
    }
    return d;
}

// Whatever a run left: D's files, then D itself.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring_view name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + L"\\" + data.cFileName;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveTree(path);
            } else {
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}

class DoneSink final : public karuneo::ResultSink {
  public:
    void AddResult(std::string_view, karuneo::RowStatus status) override {
        done = status == karuneo::RowStatus::kDone;
    }
    bool done = false;
};

bool RunEngine(const std::wstring& d) {
    const auto fs = karuneo::MakeNativeFileSystem();
    DoneSink sink;
    karuneo::ProcessDroppedPath(karuneo::win32::Utf8FromUtf16(d), *fs, sink);
    return sink.done;
}

// One pass over B, one move per entry, then the emptied chain removed.
bool RunBareLoop(const std::wstring& d) {
    const std::wstring b = d + L"\\A\\B";
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileExW((b + L"\\*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    do {
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        ok = ::MoveFileExW((b + L"\\" + data.cFileName).c_str(),
                           (d + L"\\" + data.cFileName).c_str(), 0) != 0 &&
             ok;
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return ok && ::RemoveDirectoryW(b.c_str()) && ::RemoveDirectoryW((d + L"\\A").c_str());
}

template <typename Run>
double TimedMs(const std::wstring& scratch, int files, Run run) {
    const std::wstring d = MakeChain(scratch, L"D", files);
    const double start = NowMs();
    const bool ok = run(d);
    const double took = NowMs() - start;
    RemoveTree(d);
    return ok ? took : -1.0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int files = argc > 1 ? _wtoi(argv[1]) : 3000;
    const int reps = argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;
    std::wstring scratch(MAX_PATH, L'\0');
    scratch.resize(::GetTempPathW(MAX_PATH, scratch.data()));
    scratch = argc > 3 ? std::wstring(argv[3]) : scratch + L"karuneo-moves";
    ::CreateDirectoryW(scratch.c_str(), nullptr);

    std::vector<double> engine;
    std::vector<double> bare;
    for (int rep = 0; rep < reps; ++rep) {
        engine.push_back(TimedMs(scratch, files, RunEngine));
        bare.push_back(TimedMs(scratch, files, RunBareLoop));
        if (engine.back() < 0 || bare.back() < 0) {
            std::fprintf(stderr, "a run did not flatten D\n");
            return 1;
        }
    }
    ::RemoveDirectoryW(scratch.c_str());
    const double engine_ms = Median(engine);
    const double bare_ms = Median(bare);
    std::printf("%d files in D\\A\\B, median of %d\n", files, reps);
    std::printf("  engine (Win32 layer)      %9.1f ms\n", engine_ms);
    std::printf("  bare MoveFileExW loop     %9.1f ms\n", bare_ms);
    std::printf("  ratio                     %9.2f\n", engine_ms / bare_ms);
    return 0;
}
