#include "framework/Accessible.h"

#include <atomic>

#include "framework/ScopedHandle.h"
#include "framework/SystemLibrary.h"

namespace framework {

namespace {

// The system's object for a window (OBJID_WINDOW) or its client area (OBJID_CLIENT), or null.
IDispatch* SystemObject(const AccessibleClient::Functions& functions, HWND window, LONG id)
{
    IDispatch* object = nullptr;
    if (FAILED(functions.objectFromWindow(window, static_cast<DWORD>(id), IID_IDispatch,
                                          reinterpret_cast<void**>(&object)))) {
        return nullptr;
    }
    return object;
}

void Clear(VARIANT& variant)
{
    variant.vt = VT_EMPTY;
}

RECT ScreenRect(HWND window, RECT rect)
{
    ::MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

// Child ids: 1 to n are the painted parts, the child windows on the page follow in their tab
// order, each as the system's object of its client area: what it is to the user (a button, a
// check box), named by its text. The object's parent is the window's own object.
class AccessibleClient::Object final : public IAccessible {
public:
    Object(HWND window, const PaintedPartsSource& source, const AccessibleClient::Functions& functions)
        : m_window(window), m_source(&source), m_functions(functions)
    {
    }

    void Disconnect() { m_source.store(nullptr); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: the object is used through IAccessible only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        if (!parent) return E_POINTER;
        *parent = Alive() ? SystemObject(m_functions, m_window, OBJID_WINDOW) : nullptr;
        return *parent ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override
    {
        if (!count) return E_POINTER;
        if (!Alive()) return RPC_E_DISCONNECTED;
        *count = static_cast<LONG>(Parts().size() + ChildWindows().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        Target target;
        const HRESULT found = Find(child, target);
        if (found != S_OK) return found;
        if (!target.window) return S_FALSE;  // a painted part is a simple element
        *object = SystemObject(m_functions, target.window, OBJID_CLIENT);
        return *object ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        return Text(child, name, true);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        return Text(child, value, false);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return Nothing(text); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return Nothing(text); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override
    {
        if (topic) *topic = 0;
        return Nothing(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override { return Nothing(text); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* text) override { return Nothing(text); }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        return Number(child, role, [](const Target& target) { return target.part.role; });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        return Number(child, state, [this](const Target& target) { return target.self ? WindowState() : STATE_SYSTEM_READONLY; });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override
    {
        if (!focus) return E_POINTER;
        Clear(*focus);
        if (!Alive()) return RPC_E_DISCONNECTED;
        const HWND focused = ::GetFocus();
        if (focused == m_window) {
            focus->vt = VT_I4;
            focus->lVal = CHILDID_SELF;
        } else if (focused && ::IsChild(m_window, focused)) {
            focus->vt = VT_DISPATCH;
            focus->pdispVal = SystemObject(m_functions, focused, OBJID_CLIENT);
            if (!focus->pdispVal) focus->vt = VT_EMPTY;
        }
        return focus->vt == VT_EMPTY ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        if (!selection) return E_POINTER;
        Clear(*selection);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override
    {
        if (!left || !top || !width || !height) return E_POINTER;
        Target target;
        const HRESULT found = Find(child, target);
        if (found != S_OK) return found;
        RECT rect{};
        if (target.window) {
            ::GetWindowRect(target.window, &rect);
        } else {
            rect = ScreenRect(m_window, target.part.rect);
        }
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        if (!end) return E_POINTER;
        Clear(*end);
        if (start.vt != VT_I4) return E_INVALIDARG;
        LONG count = 0;
        const HRESULT counted = get_accChildCount(&count);
        if (counted != S_OK) return counted;
        LONG next = 0;
        switch (direction) {
        case NAVDIR_FIRSTCHILD: next = start.lVal == CHILDID_SELF ? 1 : 0; break;
        case NAVDIR_LASTCHILD: next = start.lVal == CHILDID_SELF ? count : 0; break;
        case NAVDIR_NEXT: next = start.lVal == CHILDID_SELF ? 0 : start.lVal + 1; break;
        case NAVDIR_PREVIOUS: next = start.lVal == CHILDID_SELF ? 0 : start.lVal - 1; break;
        default: return E_NOTIMPL;
        }
        if (next < 1 || next > count) return S_FALSE;
        return AsVariant(next, *end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override
    {
        if (!hit) return E_POINTER;
        Clear(*hit);
        if (!Alive()) return RPC_E_DISCONNECTED;
        POINT point{x, y};
        ::ScreenToClient(m_window, &point);
        RECT client{};
        ::GetClientRect(m_window, &client);
        if (!::PtInRect(&client, point)) return S_FALSE;
        const std::vector<HWND> windows = ChildWindows();
        for (size_t i = 0; i < windows.size(); ++i) {
            RECT rect{};
            ::GetWindowRect(windows[i], &rect);
            if (::PtInRect(&rect, POINT{x, y})) return AsVariant(static_cast<LONG>(Parts().size() + i + 1), *hit);
        }
        const std::vector<PaintedPart> parts = Parts();
        for (size_t i = 0; i < parts.size(); ++i) {
            if (::PtInRect(&parts[i].rect, point)) return AsVariant(static_cast<LONG>(i + 1), *hit);
        }
        hit->vt = VT_I4;
        hit->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // What a child id stands for: the window itself (self, with its description as the part), a
    // painted part or a child window.
    struct Target {
        bool self = false;
        PaintedPart part{};
        HWND window = nullptr;
    };

    bool Alive() const { return m_source.load() && ::IsWindow(m_window); }

    LONG WindowState() const
    {
        const LONG style = ::GetWindowLongW(m_window, GWL_STYLE);
        LONG state = 0;
        if (style & WS_TABSTOP) state |= STATE_SYSTEM_FOCUSABLE;
        if (::GetFocus() == m_window) state |= STATE_SYSTEM_FOCUSED;
        if (style & WS_DISABLED) state |= STATE_SYSTEM_UNAVAILABLE;
        return state;
    }

    std::vector<PaintedPart> Parts() const
    {
        const PaintedPartsSource* source = m_source.load();
        return source ? source->PaintedParts() : std::vector<PaintedPart>();
    }

    std::vector<HWND> ChildWindows() const
    {
        std::vector<HWND> windows;
        for (HWND child = ::GetWindow(m_window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT rect{};
            // A control without an area is not on the page yet.
            if (::IsWindowVisible(child) && ::GetWindowRect(child, &rect) && !::IsRectEmpty(&rect)) windows.push_back(child);
        }
        return windows;
    }

    HRESULT Find(const VARIANT& child, Target& target) const
    {
        if (!Alive()) return RPC_E_DISCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        if (child.lVal == CHILDID_SELF) {
            target.self = true;
            target.part = m_source.load()->Whole();
            return S_OK;
        }
        const std::vector<PaintedPart> parts = Parts();
        if (child.lVal >= 1 && static_cast<size_t>(child.lVal) <= parts.size()) {
            target.part = parts[static_cast<size_t>(child.lVal) - 1];
            return S_OK;
        }
        const std::vector<HWND> windows = ChildWindows();
        const size_t index = static_cast<size_t>(child.lVal) - parts.size() - 1;
        if (child.lVal < 1 || index >= windows.size()) return E_INVALIDARG;
        target.window = windows[index];
        return S_OK;
    }

    // A child as accNavigate and accHitTest hand it out: a window as its object, a part by id.
    HRESULT AsVariant(LONG id, VARIANT& result) const
    {
        Target target;
        VARIANT child{};
        child.vt = VT_I4;
        child.lVal = id;
        const HRESULT found = Find(child, target);
        if (found != S_OK) return found;
        if (target.window) {
            result.pdispVal = SystemObject(m_functions, target.window, OBJID_CLIENT);
            result.vt = result.pdispVal ? VT_DISPATCH : VT_EMPTY;
            return result.pdispVal ? S_OK : E_FAIL;
        }
        result.vt = VT_I4;
        result.lVal = id;
        return S_OK;
    }

    // A number that describes a child or the window itself (its role, its state).
    template <typename Describe>
    HRESULT Number(const VARIANT& child, VARIANT* number, Describe describe) const
    {
        if (!number) return E_POINTER;
        Clear(*number);
        Target target;
        const HRESULT found = Find(child, target);
        if (found != S_OK) return found;
        if (target.window) return E_INVALIDARG;  // asked of the child window's own object
        number->vt = VT_I4;
        number->lVal = describe(target);
        return S_OK;
    }

    // The name (or the value) of a child or of the window itself.
    HRESULT Text(const VARIANT& child, BSTR* text, bool name) const
    {
        if (!text) return E_POINTER;
        *text = nullptr;
        Target target;
        const HRESULT found = Find(child, target);
        if (found != S_OK) return found;
        if (target.window) return E_INVALIDARG;
        const std::wstring& value = name ? target.part.name : target.part.value;
        if (value.empty()) return S_FALSE;
        *text = m_functions.allocString(value.data(), static_cast<UINT>(value.size()));
        return *text ? S_OK : E_OUTOFMEMORY;
    }

    static HRESULT Nothing(BSTR* text)
    {
        if (text) *text = nullptr;
        return S_FALSE;
    }

    const HWND m_window;
    std::atomic<const PaintedPartsSource*> m_source;
    // Valid while the object is connected: the client that loaded them outlives that.
    const AccessibleClient::Functions& m_functions;
    std::atomic<ULONG> m_references{1};
};

bool AccessibleClient::Load()
{
    if (!m_oleacc) {
        m_oleacc = LoadSystemLibrary(L"oleacc.dll");
        m_oleaut = LoadSystemLibrary(L"oleaut32.dll");
        m_functions.lresultFromObject = GetExport<decltype(m_functions.lresultFromObject)>(m_oleacc.get(), "LresultFromObject");
        m_functions.objectFromWindow =
            GetExport<decltype(m_functions.objectFromWindow)>(m_oleacc.get(), "AccessibleObjectFromWindow");
        m_functions.allocString = GetExport<decltype(m_functions.allocString)>(m_oleaut.get(), "SysAllocStringLen");
    }
    return m_functions.lresultFromObject && m_functions.objectFromWindow && m_functions.allocString;
}

LRESULT AccessibleClient::Answer(HWND window, const PaintedPartsSource& source, WPARAM flags)
{
    if (!Load()) return 0;
    if (!m_object) m_object = new Object(window, source, m_functions);
    const LRESULT answer = m_functions.lresultFromObject(IID_IAccessible, flags, m_object);
    return answer > 0 ? answer : 0;
}

void AccessibleClient::Disconnect()
{
    if (!m_object) return;
    m_object->Disconnect();
    // Clients that still hold the object get RPC_E_DISCONNECTED from now on.
    ::CoDisconnectObject(m_object, 0);
    m_object->Release();
    m_object = nullptr;
}

void NotifyPartValueChanged(HWND window, size_t index)
{
    ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, static_cast<LONG>(index + 1));
}

void NotifyPartsReordered(HWND window)
{
    ::NotifyWinEvent(EVENT_OBJECT_REORDER, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace framework
