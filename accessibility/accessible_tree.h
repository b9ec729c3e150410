#pragma once
// What a screen reader finds in the plug-in window, as plain values read from the Plugin: the
// parts of the window (the client area, the title line, the list with one item per row, the five
// bar buttons and the scroll bar), how they are named, what they are and where they are. The COM
// object (accessible_element.h) answers every question from here; nothing here is COM.

#include <windows.h>

#include <cstdint>
#include <string>

namespace tarnix {

class Plugin;
class SkinButton;

enum class NodeKind : int32_t { Client, Title, List, Button, ScrollBar, Row };

// One part of the window; `index` numbers the buttons (0 to 4) and the rows (0-based).
struct NodeRef {
  NodeKind kind = NodeKind::Client;
  int32_t index = 0;
  bool operator==(const NodeRef& other) const { return kind == other.kind && index == other.index; }
};

// The bar buttons a listener can press, in the order they sit: Menu, File, Add, Previous, Next.
constexpr int32_t kSpokenButtons = 5;

// The client's children by child id: 1 the title, 2 the list, 3 to 7 the buttons, 8 the scroll bar.
constexpr LONG kClientChildren = 8;
// Rows are also reachable from the client under these ids, so that an event raised on the client
// object names the row (row r is kRowEventIdBase + r).
constexpr LONG kRowEventIdBase = 0x10000;

// Whether the part still exists (a row may have gone with its list).
bool NodeExists(const Plugin& plugin, const NodeRef& node);
// The child of `parent` with this 1-based child id; false when there is none.
bool ChildOf(const Plugin& plugin, const NodeRef& parent, LONG childId, NodeRef* child);
LONG ChildCount(const Plugin& plugin, const NodeRef& node);
// The child id under which the parent lists this node.
LONG ChildIdOf(const NodeRef& node);
NodeRef ParentOf(const NodeRef& node);
// The part at this point of the window, in client coordinates; the client when no child is there.
NodeRef NodeAt(const Plugin& plugin, POINT client);

std::wstring NodeName(const Plugin& plugin, const NodeRef& node);
std::wstring NodeDescription(const NodeRef& node);
std::wstring NodeValue(const Plugin& plugin, const NodeRef& node);
std::wstring NodeDefaultAction(const NodeRef& node);
std::wstring NodeKeyboardShortcut(const NodeRef& node);
LONG NodeRole(const NodeRef& node);
LONG NodeState(const Plugin& plugin, const NodeRef& node);
// In client coordinates; empty when the part has no place (a hidden title line).
RECT NodeBox(const Plugin& plugin, const NodeRef& node);

// The name of row `row` alone, without its time or what it is doing, for the announcement.
std::wstring RowNameOnly(const Plugin& plugin, int32_t row);

// The bar button a listener presses as `index` (0 to 4), or null.
SkinButton* SpokenButton(const Plugin& plugin, int32_t index);
// Presses it as a click on its middle would.
void PressSpokenButton(Plugin& plugin, int32_t index);

}  // namespace tarnix
