// The IAccessible methods: each checks that the window is still there and that the part it
// names still exists, then answers from accessible_tree.h. Out parameters are set before any
// check, so a failed call hands back nothing the marshaller would choke on.

#include "accessibility/accessible_element.h"

#include <new>
#include <string>
#include <utility>

#include "host/player_codes.h"
#include "host/plugin.h"
#include "resources/resource_ids.h"
#include "skin/track_list_view.h"

namespace tarnix {

namespace {

// No C++ exception may leave a COM method: on i686 it would unwind into the caller's frames.
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

void SetLong(VARIANT* out, LONG value) {
  out->vt = VT_I4;
  out->lVal = value;
}

class AccessibleElement final : public IAccessible {
 public:
  AccessibleElement(std::shared_ptr<AccessibleContext> context, const NodeRef& node)
      : context_(std::move(context)), node_(node) {}
  AccessibleElement(const AccessibleElement&) = delete;
  AccessibleElement& operator=(const AccessibleElement&) = delete;

  // IUnknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    // The import library of oleacc names IID_IAccessible as an import, not its value: __uuidof.
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: clients use the IAccessible methods directly; there is no type information.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    return Guarded([&] {
      Plugin* plugin = nullptr;
      const HRESULT alive = Self(&plugin);
      if (FAILED(alive)) return alive;
      if (node_.kind == NodeKind::Client) {
        // Above the client area is the window itself, which the system describes.
        return CreateStdAccessibleObject(context_->window, OBJID_WINDOW, __uuidof(IDispatch),
                                         reinterpret_cast<void**>(parent));
      }
      *parent = NewAccessibleElement(context_, ParentOf(node_));
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return Guarded([&] {
      Plugin* plugin = nullptr;
      const HRESULT alive = Self(&plugin);
      if (FAILED(alive)) return alive;
      *count = ChildCount(*plugin, node_);
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override {
    if (!dispatch) return E_POINTER;
    *dispatch = nullptr;
    return Guarded([&] {
      NodeRef node;
      Plugin* plugin = nullptr;
      const HRESULT found = Resolve(child, &node, &plugin);
      if (FAILED(found)) return found;
      if (node == node_) return E_INVALIDARG;
      *dispatch = NewAccessibleElement(context_, node);
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return Text(child, name, [](const Plugin& plugin, const NodeRef& node) { return NodeName(plugin, node); });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Text(child, value, [](const Plugin& plugin, const NodeRef& node) { return NodeValue(plugin, node); });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return Text(child, description, [](const Plugin&, const NodeRef& node) { return NodeDescription(node); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return Text(child, help, [](const Plugin&, const NodeRef&) { return std::wstring(); });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return Text(child, shortcut, [](const Plugin&, const NodeRef& node) { return NodeKeyboardShortcut(node); });
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return Text(child, action, [](const Plugin&, const NodeRef& node) { return NodeDefaultAction(node); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT, long* topic) override {
    if (helpFile) *helpFile = nullptr;
    if (topic) *topic = -1;
    return S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    return Guarded([&] {
      NodeRef node;
      Plugin* plugin = nullptr;
      const HRESULT found = Resolve(child, &node, &plugin);
      if (FAILED(found)) return found;
      SetLong(role, NodeRole(node));
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    VariantInit(state);
    return Guarded([&] {
      NodeRef node;
      Plugin* plugin = nullptr;
      const HRESULT found = Resolve(child, &node, &plugin);
      if (FAILED(found)) return found;
      SetLong(state, NodeState(*plugin, node));
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    return Guarded([&] {
      Plugin* plugin = nullptr;
      const HRESULT alive = Self(&plugin);
      if (FAILED(alive)) return alive;
      if (GetFocus() != context_->window) return S_FALSE;
      if (node_.kind != NodeKind::Client && node_.kind != NodeKind::List) return S_FALSE;
      const int32_t row = plugin->list()->SelectedRow();
      if (row >= 0) {
        PutElement(focus, {NodeKind::Row, row});
      } else {
        SetLong(focus, CHILDID_SELF);
      }
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    return Guarded([&] {
      Plugin* plugin = nullptr;
      const HRESULT alive = Self(&plugin);
      if (FAILED(alive)) return alive;
      const int32_t row = node_.kind == NodeKind::List ? plugin->list()->SelectedRow() : -1;
      if (row < 0) return S_FALSE;
      PutElement(selection, {NodeKind::Row, row});
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return Guarded([&] {
      NodeRef node;
      Plugin* plugin = nullptr;
      const HRESULT found = Resolve(child, &node, &plugin);
      if (FAILED(found)) return found;
      if (node.kind != NodeKind::Row) return DISP_E_MEMBERNOTFOUND;
      // One row is selected at a time: adding, extending or removing means nothing here.
      if ((flags & (SELFLAG_ADDSELECTION | SELFLAG_EXTENDSELECTION | SELFLAG_REMOVESELECTION)) != 0 ||
          (flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS)) == 0) {
        return E_INVALIDARG;
      }
      plugin->list()->Select(node.index);
      NoteLater();
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    return Guarded([&] {
      NodeRef node;
      Plugin* plugin = nullptr;
      const HRESULT found = Resolve(child, &node, &plugin);
      if (FAILED(found)) return found;
      RECT box = NodeBox(*plugin, node);
      if (IsRectEmpty(&box)) return S_FALSE;
      MapWindowPoints(context_->window, nullptr, reinterpret_cast<POINT*>(&box), 2);
      *left = box.left;
      *top = box.top;
      *width = box.right - box.left;
      *height = box.bottom - box.top;
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    return Guarded([&] {
      NodeRef from;
      Plugin* plugin = nullptr;
      const HRESULT found = Resolve(start, &from, &plugin);
      if (FAILED(found)) return found;
      NodeRef to;
      bool there = false;
      if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
        const LONG count = ChildCount(*plugin, from);
        if (from == node_ && count > 0) {
          there = ChildOf(*plugin, from, direction == NAVDIR_FIRSTCHILD ? 1 : count, &to);
        }
      } else if (direction >= NAVDIR_UP && direction <= NAVDIR_PREVIOUS && from.kind != NodeKind::Client) {
        const bool back = direction == NAVDIR_UP || direction == NAVDIR_LEFT || direction == NAVDIR_PREVIOUS;
        const LONG sibling = ChildIdOf(from) + (back ? -1 : 1);
        there = sibling >= 1 && sibling <= ChildCount(*plugin, ParentOf(from)) &&
                ChildOf(*plugin, ParentOf(from), sibling, &to);
      } else if (direction < NAVDIR_UP || direction > NAVDIR_LASTCHILD) {
        return E_INVALIDARG;
      }
      if (!there) return S_FALSE;
      PutElement(end, to);
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    if (!child) return E_POINTER;
    VariantInit(child);
    return Guarded([&] {
      Plugin* plugin = nullptr;
      const HRESULT alive = Self(&plugin);
      if (FAILED(alive)) return alive;
      POINT point{x, y};
      ScreenToClient(context_->window, &point);
      const RECT box = NodeBox(*plugin, node_);
      if (!PtInRect(&box, point)) return S_FALSE;
      NodeRef hit = NodeAt(*plugin, point);
      // The client answers with its own child; the list then answers with the row.
      if (node_.kind == NodeKind::Client && hit.kind == NodeKind::Row) hit = ParentOf(hit);
      const bool below = node_.kind == NodeKind::Client ? hit.kind != NodeKind::Client
                                                        : node_.kind == NodeKind::List && hit.kind == NodeKind::Row;
      if (below) {
        PutElement(child, hit);
      } else {
        SetLong(child, CHILDID_SELF);
      }
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return Guarded([&] {
      NodeRef node;
      Plugin* plugin = nullptr;
      const HRESULT found = Resolve(child, &node, &plugin);
      if (FAILED(found)) return found;
      // Pressed after the call returns: a button may open a menu, whose loop must not run
      // inside a screen reader's call.
      if (node.kind == NodeKind::Button) {
        return PostMessageW(context_->window, UM_PRESS_BUTTON, static_cast<WPARAM>(node.index), 0) ? S_OK : E_FAIL;
      }
      if (node.kind == NodeKind::Row) {
        plugin->list()->Select(node.index);
        return PostMessageW(context_->window, WM_COMMAND, IDM_PLAY_SELECTED, 0) ? S_OK : E_FAIL;
      }
      return DISP_E_MEMBERNOTFOUND;
    });
  }

  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

 private:
  ~AccessibleElement() = default;

  // The Plugin while this element's part exists.
  HRESULT Self(Plugin** plugin) const {
    if (!context_->plugin) return CO_E_OBJNOTCONNECTED;
    if (!NodeExists(*context_->plugin, node_)) return E_INVALIDARG;
    *plugin = context_->plugin;
    return S_OK;
  }

  // The part a VARIANT child id names: this element's own, or one of its children.
  HRESULT Resolve(const VARIANT& child, NodeRef* node, Plugin** plugin) const {
    const HRESULT alive = Self(plugin);
    if (FAILED(alive)) return alive;
    if (child.vt != VT_I4) return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) {
      *node = node_;
      return S_OK;
    }
    return ChildOf(**plugin, node_, child.lVal, node) ? S_OK : E_INVALIDARG;
  }

  template <class Answer>
  HRESULT Text(const VARIANT& child, BSTR* out, Answer&& answer) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Guarded([&] {
      NodeRef node;
      Plugin* plugin = nullptr;
      const HRESULT found = Resolve(child, &node, &plugin);
      if (FAILED(found)) return found;
      return ReturnText(answer(*plugin, node), out);
    });
  }

  void PutElement(VARIANT* out, const NodeRef& node) const {
    out->vt = VT_DISPATCH;
    out->pdispVal = NewAccessibleElement(context_, node);
  }

  // A change made inside a call is announced when the window next handles a message.
  void NoteLater() const { PostMessageW(context_->window, WM_NULL, 0, 0); }

  LONG references_ = 1;
  std::shared_ptr<AccessibleContext> context_;
  NodeRef node_;
};

}  // namespace

IAccessible* NewAccessibleElement(const std::shared_ptr<AccessibleContext>& context, const NodeRef& node) {
  return new AccessibleElement(context, node);
}

}  // namespace tarnix
