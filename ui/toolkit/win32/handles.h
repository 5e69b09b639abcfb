// Owners of the Win32 handles the backend creates, so each is released once,
// by whoever holds it last.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace toolkit::win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};

struct DcReleaser {
    HWND window;
    void operator()(HDC dc) const { ReleaseDC(window, dc); }
};

using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;
using WindowDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcReleaser>;

inline WindowDc windowDc(HWND window)
{
    return WindowDc(GetDC(window), DcReleaser{window});
}

// Selects a GDI object into a device context for as long as it lives.
class SelectObjectGuard
{
public:
    SelectObjectGuard(HDC dc, HGDIOBJ object)
        : m_dc(dc)
        , m_previous(SelectObject(dc, object))
    {}
    ~SelectObjectGuard() { SelectObject(m_dc, m_previous); }
    SelectObjectGuard(const SelectObjectGuard &) = delete;
    SelectObjectGuard &operator=(const SelectObjectGuard &) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

} // namespace toolkit::win32
