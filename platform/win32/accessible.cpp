// Our client-area object for assistive technology. One object stands for the client area (the
// window's own part comes from the system's standard object); a node with parts of its own (a
// list) is an object too, and every other node is a simple element addressed by child id. The
// tree is asked for afresh at every call, so what a screen reader hears is what the window shows
// now; an object whose window is gone answers that it is disconnected.
// clang-format off
#include "platform/win32/accessible.h"
#include <oleacc.h>
// clang-format on

#include "platform/win32/system_library.h"
#include "platform/win32/wide.h"

namespace platform::detail {
namespace {

struct TOleAcc {
    using TLresultFromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using TCreateStd = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    TLresultFromObject LresultFromObject = nullptr;
    TCreateStd CreateStdAccessibleObject = nullptr;
    TOleAcc() {
        // Kept for the life of the process: objects we gave out may be called at any time.
        HMODULE m = LoadSystemLibrary(L"oleacc.dll");
        if (!m) return;
        LresultFromObject = reinterpret_cast<TLresultFromObject>(
            reinterpret_cast<void*>(GetProcAddress(m, "LresultFromObject")));
        CreateStdAccessibleObject = reinterpret_cast<TCreateStd>(
            reinterpret_cast<void*>(GetProcAddress(m, "CreateStdAccessibleObject")));
    }
};

TOleAcc& OleAcc() {
    static TOleAcc o;
    return o;
}

long RoleOf(TAccessibleRole r) {
    switch (r) {
        case TAccessibleRole::Client:
            return ROLE_SYSTEM_CLIENT;
        case TAccessibleRole::Dialog:
            return ROLE_SYSTEM_DIALOG;
        case TAccessibleRole::Button:
            return ROLE_SYSTEM_PUSHBUTTON;
        case TAccessibleRole::Link:
            return ROLE_SYSTEM_LINK;
        case TAccessibleRole::StaticText:
            return ROLE_SYSTEM_STATICTEXT;
        case TAccessibleRole::ProgressBar:
            return ROLE_SYSTEM_PROGRESSBAR;
        case TAccessibleRole::List:
            return ROLE_SYSTEM_LIST;
        case TAccessibleRole::ListItem:
            return ROLE_SYSTEM_LISTITEM;
    }
    return ROLE_SYSTEM_CLIENT;
}

long StateOf(unsigned s) {
    long out = 0;
    if (s & kAccFocused) out |= STATE_SYSTEM_FOCUSED;
    if (s & kAccDisabled) out |= STATE_SYSTEM_UNAVAILABLE;
    if (s & kAccInvisible) out |= STATE_SYSTEM_INVISIBLE;
    if (s & kAccFocusable) out |= STATE_SYSTEM_FOCUSABLE;
    if (s & kAccOffscreen) out |= STATE_SYSTEM_OFFSCREEN;
    if (s & kAccSelectable) out |= STATE_SYSTEM_SELECTABLE;
    if (s & kAccSelected) out |= STATE_SYSTEM_SELECTED;
    return out;
}

HRESULT Text(const std::string& text, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = SysAllocString(Wide(text).c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

class TAccObject : public IAccessible {
public:
    // `node`: the index of the node this object stands for; -1 the client area.
    TAccObject(HWND hwnd, int node) : FHwnd(hwnd), FNode(node) {}
    virtual ~TAccObject() = default;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&FRefs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = InterlockedDecrement(&FRefs);
        if (n == 0) delete this;
        return ULONG(n);
    }

    // IDispatch: not offered (clients use the IAccessible methods directly).
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!Window()) return RPC_E_DISCONNECTED;
        if (FNode >= 0) {
            const auto tree = Tree();
            const int parent = size_t(FNode) < tree.size() ? tree[size_t(FNode)].Parent : -1;
            *out = new TAccObject(FHwnd, parent);
            return S_OK;
        }
        if (!OleAcc().CreateStdAccessibleObject) return S_FALSE;
        return OleAcc().CreateStdAccessibleObject(FHwnd, OBJID_WINDOW, IID_IDispatch,
                                                  reinterpret_cast<void**>(out));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* out) override {
        if (!out) return E_POINTER;
        *out = 0;
        if (!Window()) return RPC_E_DISCONNECTED;
        *out = long(Children(Tree()).size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!Window()) return RPC_E_DISCONNECTED;
        const auto tree = Tree();
        const int node = NodeOf(tree, child);
        if (node < 0) return E_INVALIDARG;
        if (node == FNode) return E_INVALIDARG;
        // Only a node with parts of its own is an object; the others are simple elements.
        for (const auto& n : tree)
            if (n.Parent == node) {
                *out = new TAccObject(FHwnd, node);
                return S_OK;
            }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        return WithNode(child, [&](const TWindow& w, const TAccessibleNode* n) {
            return Text(n ? n->Name : CaptionOf(w), out);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        return WithNode(child, [&](const TWindow&, const TAccessibleNode* n) {
            return Text(n ? n->Value : std::string(), out);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* out) override {
        return Text({}, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        return WithNode(child, [&](const TWindow& w, const TAccessibleNode* n) {
            out->vt = VT_I4;
            out->lVal = RoleOf(n ? n->Role : w.Role);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        return WithNode(child, [&](const TWindow&, const TAccessibleNode* n) {
            out->vt = VT_I4;
            if (n) {
                out->lVal = StateOf(n->State);
            } else {
                out->lVal = STATE_SYSTEM_FOCUSABLE;
                if (GetFocus() == FHwnd) out->lVal |= STATE_SYSTEM_FOCUSED;
                if (!IsWindowVisible(FHwnd)) out->lVal |= STATE_SYSTEM_INVISIBLE;
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override { return Text({}, out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* out) override {
        return Text({}, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        if (!Window()) return RPC_E_DISCONNECTED;
        if (ChildWithState(kAccFocused, out)) return S_OK;
        if (FNode < 0 && GetFocus() == FHwnd) {
            out->vt = VT_I4;
            out->lVal = CHILDID_SELF;
            return S_OK;
        }
        return S_FALSE;
    }
    // The chosen one of a set of choices (a page dot), as its child id.
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        if (!Window()) return RPC_E_DISCONNECTED;
        return ChildWithState(kAccSelected, out) ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return WithNode(child, [&](const TWindow&, const TAccessibleNode* n) {
            if (n && n->Role == TAccessibleRole::Button) return Text("Press", out);
            if (n && n->Role == TAccessibleRole::Link) return Text("Jump", out);
            return Text({}, out);
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        return WithNode(child, [&](const TWindow& w, const TAccessibleNode* n) {
            TRect r = n ? n->Bounds : TRect{0, 0, w.ClientWidth(), w.ClientHeight()};
            POINT p{r.Left, r.Top};
            ClientToScreen(FHwnd, &p);
            *left = p.x;
            *top = p.y;
            *width = r.Width();
            *height = r.Height();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        if (!Window()) return RPC_E_DISCONNECTED;
        const auto tree = Tree();
        const long count = long(Children(tree).size());
        if (start.vt != VT_I4) return E_INVALIDARG;
        long id = -1;
        if (start.lVal == CHILDID_SELF) {
            if (dir == NAVDIR_FIRSTCHILD) id = 1;
            if (dir == NAVDIR_LASTCHILD) id = count;
        } else {
            if (dir == NAVDIR_NEXT || dir == NAVDIR_DOWN || dir == NAVDIR_RIGHT)
                id = start.lVal + 1;
            if (dir == NAVDIR_PREVIOUS || dir == NAVDIR_UP || dir == NAVDIR_LEFT)
                id = start.lVal - 1;
        }
        if (id < 1 || id > count) return S_FALSE;
        out->vt = VT_I4;
        out->lVal = id;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        if (!Window()) return RPC_E_DISCONNECTED;
        POINT p{x, y};
        ScreenToClient(FHwnd, &p);
        const auto tree = Tree();
        const auto kids = Children(tree);
        // The last one drawn is the one on top.
        for (size_t i = kids.size(); i-- > 0;) {
            const TAccessibleNode& n = tree[size_t(kids[i])];
            if (n.State & (kAccInvisible | kAccOffscreen)) continue;
            if (p.x >= n.Bounds.Left && p.x < n.Bounds.Right && p.y >= n.Bounds.Top &&
                p.y < n.Bounds.Bottom) {
                out->vt = VT_I4;
                out->lVal = long(i + 1);
                return S_OK;
            }
        }
        RECT rc;
        GetClientRect(FHwnd, &rc);
        if (!PtInRect(&rc, p)) return S_FALSE;
        out->vt = VT_I4;
        out->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        TWindow* w = Window();
        if (!w) return RPC_E_DISCONNECTED;
        const int node = NodeOf(Tree(), child);
        if (node < 0 || node == FNode) return DISP_E_MEMBERNOTFOUND;
        if (!w->OnAccessibleAction || !w->OnAccessibleAction(node)) return DISP_E_MEMBERNOTFOUND;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    TWindow* Window() const { return WindowOfHandle(FHwnd); }
    std::vector<TAccessibleNode> Tree() const {
        TWindow* w = Window();
        return w && w->OnAccessibleTree ? w->OnAccessibleTree() : std::vector<TAccessibleNode>{};
    }
    // The first direct child carrying `state`, as its child id in `out`.
    bool ChildWithState(unsigned state, VARIANT* out) const {
        const auto tree = Tree();
        const auto kids = Children(tree);
        for (size_t i = 0; i < kids.size(); ++i)
            if (tree[size_t(kids[i])].State & state) {
                out->vt = VT_I4;
                out->lVal = long(i + 1);
                return true;
            }
        return false;
    }
    std::vector<int> Children(const std::vector<TAccessibleNode>& tree) const {
        std::vector<int> out;
        for (size_t i = 0; i < tree.size(); ++i)
            if (tree[i].Parent == FNode) out.push_back(int(i));
        return out;
    }
    // The node a child id names: CHILDID_SELF this object's own (-1 for the client area).
    int NodeOf(const std::vector<TAccessibleNode>& tree, const VARIANT& child) const {
        if (child.vt != VT_I4) return -2;
        if (child.lVal == CHILDID_SELF) return FNode;
        const auto kids = Children(tree);
        if (child.lVal < 1 || size_t(child.lVal) > kids.size()) return -2;
        return kids[size_t(child.lVal - 1)];
    }
    static std::string CaptionOf(const TWindow& w) {
        wchar_t buf[512];
        const int n = GetWindowTextW(static_cast<HWND>(w.NativeHandle()), buf, 512);
        return n > 0 ? Narrow(buf, size_t(n)) : std::string();
    }
    template <class F>
    HRESULT WithNode(const VARIANT& child, F&& fn) {
        TWindow* w = Window();
        if (!w) return RPC_E_DISCONNECTED;
        const auto tree = Tree();
        const int node = NodeOf(tree, child);
        if (node < -1 || (node >= 0 && size_t(node) >= tree.size())) return E_INVALIDARG;
        return fn(*w, node < 0 ? nullptr : &tree[size_t(node)]);
    }

    HWND FHwnd;
    int FNode;
    LONG FRefs = 1;
};

}  // namespace

LRESULT AnswerClientObject(HWND hwnd, WPARAM wp) {
    if (!OleAcc().LresultFromObject) return 0;
    // Handing the object out marshals it, which needs COM on this thread. A thread without it
    // gets a single-threaded apartment for good, so that the calls of a screen reader come in
    // through our message loop; one that already has an apartment keeps it as it is.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (com == S_FALSE) CoUninitialize();
    auto* obj = new TAccObject(hwnd, -1);
    const LRESULT r = OleAcc().LresultFromObject(__uuidof(IAccessible), wp, obj);
    obj->Release();
    return r < 0 ? 0 : r;
}

}  // namespace platform::detail
