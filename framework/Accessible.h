// What a screen reader learns of a window that paints its own texts: the window's client area as
// an accessible object (IAccessible) with the window's role and name, whose children are the
// painted parts, as simple elements with a role, a name, a value and a place, followed by the
// child windows on it, each as the system's own object for it. A dialog answers WM_GETOBJECT with
// it (Dialog does so for every dialog that lists painted parts), and so does a button whose face
// is a glyph, for its name.
//
// oleacc.dll is not one of the DLLs that Windows always loads from its system folder, so it is
// loaded by full path when a screen reader first asks, never imported (nor is oleaut32.dll).
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "framework/ScopedHandle.h"

namespace framework {

// One painted part, or the window itself; rect in the window's client coordinates.
struct PaintedPart {
    LONG role;  // ROLE_SYSTEM_*
    std::wstring name;
    std::wstring value;  // empty: the part has no value
    RECT rect;
};

// The window tells what it is and what it paints now.
class PaintedPartsSource {
public:
    virtual PaintedPart Whole() const = 0;
    virtual std::vector<PaintedPart> PaintedParts() const = 0;

protected:
    ~PaintedPartsSource() = default;
};

// The accessible object of one window's client area, created at the first WM_GETOBJECT and cut
// off from the window when it goes: a screen reader may hold the object longer than the window
// lives, and then only learns that it is gone.
class AccessibleClient {
public:
    AccessibleClient() = default;
    ~AccessibleClient() { Disconnect(); }
    AccessibleClient(const AccessibleClient&) = delete;
    AccessibleClient& operator=(const AccessibleClient&) = delete;

    // The answer to WM_GETOBJECT for OBJID_CLIENT; 0 (the system's own object) when oleacc.dll
    // cannot be loaded.
    LRESULT Answer(HWND window, const PaintedPartsSource& source, WPARAM flags);
    void Disconnect();

    // What the object needs of oleacc.dll and oleaut32.dll, loaded at the first question.
    struct Functions {
        decltype(&::LresultFromObject) lresultFromObject = nullptr;
        decltype(&::AccessibleObjectFromWindow) objectFromWindow = nullptr;
        decltype(&::SysAllocStringLen) allocString = nullptr;
    };

private:
    class Object;
    bool Load();

    Module m_oleacc;
    Module m_oleaut;
    Functions m_functions;
    Object* m_object = nullptr;
};

// Tells accessibility clients that part number index (0-based) of the window's painted parts has
// a new value.
void NotifyPartValueChanged(HWND window, size_t index);
// Tells them that the window's painted parts are others now (a new page).
void NotifyPartsReordered(HWND window);

}  // namespace framework
