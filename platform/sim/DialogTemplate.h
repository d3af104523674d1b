#pragma once
// Dialog templates as the simulated machine knows them: the resource
// scripts' DIALOG statements, turned into tables when the programs are
// built (tools/rcgen), so a dialog here has the controls, ids, texts and
// styles it has on Windows. Texts are Windows-1250.

#include <cstddef>
#include <cstdint>

namespace qz::platform::sim {

// Window and control styles the simulated dialogs act on.
inline constexpr std::uint32_t kStyleDisabled = 0x08000000;   // WS_DISABLED
inline constexpr std::uint32_t kStyleSysMenu = 0x00080000;    // WS_SYSMENU
inline constexpr std::uint32_t kStyleTabStop = 0x00010000;    // WS_TABSTOP
inline constexpr std::uint32_t kButtonTypeMask = 0x0000000F;  // BS_TYPEMASK
inline constexpr std::uint32_t kButtonPush = 0x0;             // BS_PUSHBUTTON
inline constexpr std::uint32_t kButtonDefPush = 0x1;          // BS_DEFPUSHBUTTON
inline constexpr std::uint32_t kButtonGroupBox = 0x7;         // BS_GROUPBOX
inline constexpr std::uint32_t kEditMultiLine = 0x0004;       // ES_MULTILINE
inline constexpr std::uint32_t kEditReadOnly = 0x0800;        // ES_READONLY

struct ControlTemplate {
  const char* className;  // "Button", "Edit", "Static", "ListBox", "ComboBox", ...
  int id;                 // -1 for controls without an id
  const char* text;
  int x, y, width, height;  // dialog units
  std::uint32_t style;
  std::uint32_t exStyle;
};

struct DialogTemplate {
  int id;
  const char* caption;
  int x, y, width, height;
  std::uint32_t style;
  const char* font;
  int fontSize;
  const ControlTemplate* controls;
  std::size_t controlCount;
};

// The templates of one program's resource script.
struct DialogTemplateSet {
  const DialogTemplate* dialogs;
  std::size_t count;

  const DialogTemplate* Find(int id) const {
    for (std::size_t i = 0; i < count; ++i) {
      if (dialogs[i].id == id) return &dialogs[i];
    }
    return nullptr;
  }
};

}  // namespace qz::platform::sim
