#include "tests/support/win32/shell_drop.h"

#include <shlobj.h>

#include <cstring>

namespace karuneo::testing {
namespace {

class DataObject final : public IDataObject {
  public:
    explicit DataObject(const std::vector<std::wstring>* paths)
        : has_files_(paths != nullptr),
          paths_(paths != nullptr ? *paths : std::vector<std::wstring>{}) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) {
            return DV_E_FORMATETC;
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->pUnkForRelease = nullptr;
        medium->hGlobal = format->cfFormat == CF_HDROP ? MakeHdrop(paths_) : Text();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        const CLIPFORMAT offered = has_files_ ? CF_HDROP : CF_UNICODETEXT;
        return format->cfFormat == offered && (format->tymed & TYMED_HGLOBAL) != 0 ? S_OK
                                                                                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    ~DataObject() = default;

    static HGLOBAL Text() {
        constexpr wchar_t kText[] = L"C:\\not\\a\\file\\list";
        HGLOBAL text = ::GlobalAlloc(GHND, sizeof kText);
        std::memcpy(::GlobalLock(text), kText, sizeof kText);
        ::GlobalUnlock(text);
        return text;
    }

    ULONG references_ = 1;
    bool has_files_;
    std::vector<std::wstring> paths_;
};

}  // namespace

HGLOBAL MakeHdrop(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const auto& path : paths) {
        list += path;
        list += L'\0';
    }
    // The list ends with an empty name; an empty list is that name alone.
    list += L'\0';
    if (paths.empty()) {
        list += L'\0';
    }
    const std::size_t list_bytes = list.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + list_bytes);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list_bytes);
    ::GlobalUnlock(memory);
    return memory;
}

IDataObject* MakeDataObject(const std::vector<std::wstring>* paths) {
    return new DataObject(paths);
}

}  // namespace karuneo::testing
