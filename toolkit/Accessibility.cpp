#include "toolkit/Accessibility.h"

#include "toolkit/SystemLibrary.h"

#include <ole2.h>

#include <algorithm>

namespace yar {

namespace {

// The accessibility library is no known DLL: it comes from the system directory when first needed.
struct TOleaccCalls {
    decltype(&CreateStdAccessibleObject) CreateStd = nullptr;
    decltype(&LresultFromObject) FromObject = nullptr;
};

const TOleaccCalls& Oleacc() {
    static const TOleaccCalls calls = [] {
        TOleaccCalls c;
        if (const HMODULE library = LoadSystemLibrary("oleacc.dll")) {
            c.CreateStd = reinterpret_cast<decltype(c.CreateStd)>(
                reinterpret_cast<void*>(GetProcAddress(library, "CreateStdAccessibleObject")));
            c.FromObject = reinterpret_cast<decltype(c.FromObject)>(
                reinterpret_cast<void*>(GetProcAddress(library, "LresultFromObject")));
        }
        return c;
    }();
    return calls;
}

BSTR MakeBstr(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (result && length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result, length);
    return result;
}

HRESULT AnswerText(const std::string& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = text.empty() ? nullptr : MakeBstr(text);
    if (text.empty()) return S_FALSE;
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The system's standard object for the window, wrapped: the window's source answers first, for
// the window itself and for its windowless parts, which follow the standard object's children.
class TAccessibleObject final : public IAccessible, public IEnumVARIANT, public IOleWindow {
public:
    TAccessibleObject(HWND window, IAccessible* standard, TAccessibleLookup lookup)
        : FWindow(window), FStandard(standard), FLookup(lookup) {
        FStandard->AddRef();
    }
    TAccessibleObject(const TAccessibleObject&) = delete;
    TAccessibleObject& operator=(const TAccessibleObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible)
            *out = static_cast<IAccessible*>(this);
        else if (iid == IID_IEnumVARIANT)
            *out = static_cast<IEnumVARIANT*>(this);
        else if (iid == IID_IOleWindow)
            *out = static_cast<IOleWindow*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = InterlockedDecrement(&FRefs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

    // IDispatch: the standard object's type information; no late-bound calls.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return FStandard->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
        return FStandard->GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = FWindow;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return FStandard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        *count = StandardChildCount() + static_cast<long>(Elements().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (Element(child)) return S_FALSE; // a simple element: its parent answers for it
        if (Replaced()) return E_INVALIDARG;
        return FStandard->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (const auto* element = Element(child)) return AnswerText(element->Facts.Name, name);
        if (IsSelf(child))
            if (const TAccessibleSource* source = Source(); source && !source->AccessibleFacts().Name.empty())
                return AnswerText(source->AccessibleFacts().Name, name);
        return FStandard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (const auto* element = Element(child)) return AnswerText(element->Facts.Value, value);
        if (IsSelf(child))
            if (const TAccessibleSource* source = Source();
                source && !source->AccessibleFacts().Value.empty())
                return AnswerText(source->AccessibleFacts().Value, value);
        return FStandard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (Element(child)) return AnswerText({}, text);
        return FStandard->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        if (const auto* element = Element(child)) {
            *role = LongVariant(element->Facts.Role);
            return S_OK;
        }
        if (IsSelf(child))
            if (const TAccessibleSource* source = Source(); source && source->AccessibleFacts().Role != 0) {
                *role = LongVariant(source->AccessibleFacts().Role);
                return S_OK;
            }
        return FStandard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        if (const auto* element = Element(child)) {
            *state = LongVariant(element->Facts.State);
            return S_OK;
        }
        const HRESULT result = FStandard->get_accState(child, state);
        if (SUCCEEDED(result) && state->vt == VT_I4 && IsSelf(child))
            if (const TAccessibleSource* source = Source()) state->lVal |= source->AccessibleFacts().State;
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        if (Element(child)) return AnswerText({}, help);
        return FStandard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (Element(child)) return S_FALSE;
        return FStandard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        if (Element(child)) return AnswerText({}, shortcut);
        return FStandard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return FStandard->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return FStandard->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (Element(child)) return AnswerText({}, action);
        return FStandard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return FStandard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        const auto* element = Element(child);
        if (!element) return FStandard->accLocation(left, top, width, height, child);
        if (!left || !top || !width || !height) return E_POINTER;
        POINT origin{element->Bounds.left, element->Bounds.top};
        ClientToScreen(FWindow, &origin);
        *left = origin.x;
        *top = origin.y;
        *width = element->Bounds.right - element->Bounds.left;
        *height = element->Bounds.bottom - element->Bounds.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (Element(start)) return S_FALSE;
        return FStandard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        if (!child) return E_POINTER;
        POINT point{x, y};
        ScreenToClient(FWindow, &point);
        const std::vector<TAccessibleElement>& elements = Elements();
        // The last part drawn is the one on top.
        for (auto it = elements.rbegin(); it != elements.rend(); ++it)
            if (PtInRect(&it->Bounds, point)) {
                *child = LongVariant(ElementId(static_cast<size_t>(elements.rend() - it) - 1));
                return S_OK;
            }
        return FStandard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!Element(child)) return FStandard->accDoDefaultAction(child);
        TAccessibleSource* source = Source();
        const long index = child.lVal - FirstElementId();
        return source && source->DoElementAction(static_cast<int>(index)) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        if (Element(child)) return E_NOTIMPL;
        return FStandard->put_accValue(child, value);
    }

    // IEnumVARIANT: the standard object's children, then the parts.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        if (!items) return E_POINTER;
        std::vector<VARIANT> all = Children();
        ULONG given = 0;
        for (; given < count && FPosition < all.size(); ++given, ++FPosition) {
            items[given] = all[FPosition];
            all[FPosition].vt = VT_EMPTY; // handed over
        }
        for (VARIANT& v : all) VariantClear(&v);
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        long total = 0;
        get_accChildCount(&total);
        FPosition += count;
        return FPosition <= static_cast<size_t>(total) ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        FPosition = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        if (!copy) return E_POINTER;
        auto* other = new (std::nothrow) TAccessibleObject(FWindow, FStandard, FLookup);
        if (!other) return E_OUTOFMEMORY;
        other->FPosition = FPosition;
        *copy = other;
        return S_OK;
    }

private:
    ~TAccessibleObject() { FStandard->Release(); }

    TAccessibleSource* Source() const { return IsWindow(FWindow) ? FLookup(FWindow) : nullptr; }
    bool Replaced() const {
        const TAccessibleSource* source = Source();
        return source && source->ElementsReplaceChildren();
    }
    static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

    long StandardChildCount() const {
        if (Replaced()) return 0;
        long count = 0;
        return SUCCEEDED(FStandard->get_accChildCount(&count)) ? count : 0;
    }
    long FirstElementId() const { return StandardChildCount() + 1; }
    long ElementId(size_t index) const { return FirstElementId() + static_cast<long>(index); }

    // The parts as they are now; kept until the next question, so that the answer may point into it.
    const std::vector<TAccessibleElement>& Elements() {
        const TAccessibleSource* source = Source();
        FElements = source ? source->AccessibleElements() : std::vector<TAccessibleElement>{};
        return FElements;
    }
    const TAccessibleElement* Element(const VARIANT& child) {
        if (child.vt != VT_I4 || child.lVal == CHILDID_SELF) return nullptr;
        const long index = child.lVal - FirstElementId();
        const std::vector<TAccessibleElement>& elements = Elements();
        if (index < 0 || index >= static_cast<long>(elements.size())) return nullptr;
        return &elements[static_cast<size_t>(index)];
    }

    std::vector<VARIANT> Children() {
        std::vector<VARIANT> all;
        const long standard = StandardChildCount();
        IEnumVARIANT* enumerator = nullptr;
        if (standard > 0 &&
            SUCCEEDED(FStandard->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&enumerator)))) {
            all.resize(static_cast<size_t>(standard));
            ULONG fetched = 0;
            enumerator->Reset();
            if (FAILED(enumerator->Next(static_cast<ULONG>(standard), all.data(), &fetched))) fetched = 0;
            all.resize(fetched);
            enumerator->Release();
        } else {
            for (long id = 1; id <= standard; ++id) all.push_back(LongVariant(id));
        }
        const size_t parts = Elements().size();
        for (size_t i = 0; i < parts; ++i) all.push_back(LongVariant(ElementId(i)));
        return all;
    }

    LONG FRefs = 1;
    HWND FWindow;
    IAccessible* FStandard;
    TAccessibleLookup FLookup;
    size_t FPosition = 0;
    std::vector<TAccessibleElement> FElements;
};

} // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, TAccessibleLookup lookup) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) return 0;
    const TOleaccCalls& oleacc = Oleacc();
    if (!oleacc.CreateStd || !oleacc.FromObject) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(oleacc.CreateStd(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&standard))))
        return 0;
    auto* object = new (std::nothrow) TAccessibleObject(window, standard, lookup);
    standard->Release();
    if (!object) return 0;
    const LRESULT result = oleacc.FromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(object));
    object->Release();
    // A negative answer is a failure to hand the object over: the class answers instead.
    return result > 0 ? result : 0;
}

std::string PercentValue(int position, int min, int max) {
    if (max <= min) return "0%";
    const long long done =
        std::clamp<long long>(static_cast<long long>(position) - min, 0, static_cast<long long>(max) - min);
    return std::to_string(done * 100 / (static_cast<long long>(max) - min)) + "%";
}

std::string AccessibleText(const std::string& caption) {
    std::string text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        else if (caption[i] == '&')
            continue;
        text += caption[i];
    }
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

VARIANT LongVariant(long value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

} // namespace yar
