#pragma once
// How the main window's own kinds of control meet screen readers: the window
// is a frame (a top-level window), an up-down control a spin box, and a
// drive list is known by its own name. Qt's other controls
// need nothing beyond their names.

namespace zv {

// Registers the interfaces with Qt's accessibility; safe to call again.
void InstallAccessibility();

}  // namespace zv
