#pragma once

#include <span>

// A dialog described as data: its controls, their places in dialog units
// and their styles. The windowing layer builds windows from these.

enum class ControlKind {
    PushButton,
    DefPushButton,
    Static,  // left-aligned static text, no input
    Icon,    // static showing the application's icon at its own size
    GroupBox,
    ListBox,  // sorted, notifies double-clicks, scroll bar always shown
    Edit,     // single line, bordered, scrolls sideways
    AutoRadio,
    UpDown,
};

enum ControlFlag : unsigned {
    CF_TABSTOP = 1u << 0,
    CF_GROUP = 1u << 1,
    CF_DISABLED = 1u << 2,
    CF_READONLY = 1u << 3,
    CF_NOPREFIX = 1u << 4,
};

inline constexpr int IDC_STATIC = -1;

struct ControlTemplate {
    int id;  // IDC_STATIC for controls without id
    ControlKind kind;
    const char* text;  // UTF-8
    int x, y, cx, cy;  // dialog units
    unsigned flags;    // ControlFlag bits
    // What a screen reader calls the control (UTF-8) where its text does not
    // say it; nullptr leaves Qt's own name. A static's name also names the
    // radio group that follows it.
    const char* accessibleName = nullptr;
};

struct DialogTemplate {
    int id;
    const char* caption;  // UTF-8
    int cx, cy;           // dialog units
    const char* fontFamily;
    int pointSize;
    std::span<const ControlTemplate> controls;
};
