#pragma once
// Child controls and small window helpers shared by the three windows.
#include <windows.h>

#include <initializer_list>
#include <string>

namespace zeb::ui {

// A control's place in its parent's client area, in pixels.
struct Bounds {
  int left;
  int top;
  int width;
  int height;
};

// A visible child control of a system class ("BUTTON", "STATIC", ...) with this font.
HWND CreateControl(HWND parent, int id, const char* className, const char* text, DWORD style,
                   const Bounds& bounds, HFONT font, DWORD exStyle = 0);

// Puts the controls in this order from the top of the z-order down, which is also the order
// the Tab key visits them in.
void StackInOrder(std::initializer_list<HWND> controls);

std::string WindowText(HWND window);
void SetWindowTextNow(HWND window, const std::string& text);  // and repaints it at once

// Sizes a one-line label to the width of its text in its own font, keeping its top, its
// height and its right edge at `rightEdge`: a right-aligned label that grows to the left,
// though not past the parent's left edge.
void FitLabelToRightEdge(HWND label, int rightEdge);

// Repaints the window (and its children) at once, not through the message loop.
void RepaintNow(HWND window);

// The whole window's rectangle for a client area of this size with its top-left corner of
// the whole window at (left, top).
RECT OuterRectForClient(DWORD style, DWORD exStyle, int left, int top, int clientWidth,
                        int clientHeight);

// A rectangle of this size centred on the screen.
RECT CentredOnScreen(int width, int height);

}  // namespace zeb::ui
