#include "window/win32/drop_target.h"

#include "window/win32/dropped_files.h"

namespace karuneo::win32 {
namespace {

FORMATETC FileListFormat() {
    return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool CarriesFiles(IDataObject* data) {
    FORMATETC format = FileListFormat();
    return data != nullptr && data->QueryGetData(&format) == S_OK;
}

std::vector<std::wstring> DroppedPaths(IDataObject& data) {
    FORMATETC format = FileListFormat();
    STGMEDIUM medium{};
    if (data.GetData(&format, &medium) != S_OK) {
        return {};
    }
    std::vector<std::wstring> paths;
    if (void* files = ::GlobalLock(medium.hGlobal)) {
        paths = PathsFromHdrop(static_cast<HDROP>(files));
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return paths;
}

}  // namespace

DropTarget::DropTarget(Highlight highlight, DropHandler drop)
    : highlight_(std::move(highlight)), drop_(std::move(drop)) {}

HRESULT DropTarget::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() {
    return ++references_;
}

ULONG DropTarget::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    accepted_ = CarriesFiles(data);
    if (accepted_) {
        highlight_(true);
    }
    return DragOver(0, {}, effect);
}

HRESULT DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    if (effect != nullptr) {
        *effect = accepted_ ? HarmlessEffect(*effect) : DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT DropTarget::DragLeave() {
    if (accepted_) {
        highlight_(false);
    }
    accepted_ = false;
    return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    DragLeave();
    if (!CarriesFiles(data)) {
        return DragOver(0, {}, effect);
    }
    accepted_ = true;
    DragOver(0, {}, effect);
    accepted_ = false;
    // Nothing may leave a COM call.
    try {
        drop_(DroppedPaths(*data));
    } catch (...) {
        return E_UNEXPECTED;
    }
    return S_OK;
}

}  // namespace karuneo::win32
