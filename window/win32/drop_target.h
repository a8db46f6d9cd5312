#pragma once

#include <windows.h>
// windows.h first: ole2.h relies on its types.
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

namespace karuneo::win32 {

// An OLE drop target that takes shell file lists (CF_HDROP) and refuses
// everything else as soon as the drag enters. `highlight` says whether an
// accepted drag is over the target; `drop` gets the dropped paths in order.
class DropTarget final : public IDropTarget {
  public:
    using Highlight = std::function<void(bool)>;
    using DropHandler = std::function<void(const std::vector<std::wstring>&)>;

    DropTarget(Highlight highlight, DropHandler drop);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at,
                                   DWORD* effect) override;

  private:
    ~DropTarget() = default;

    ULONG references_ = 1;
    bool accepted_ = false;
    Highlight highlight_;
    DropHandler drop_;
};

}  // namespace karuneo::win32
