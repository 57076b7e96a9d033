#pragma once
// The main loop and one frame of the window system: deferred deletion, the
// input drain, the per-frame tick, the overview animation and redrawing the
// dirty rectangles; the layer windows, screen resizing and native-dialog
// mode. Which windows are visible in a damaged rectangle is worked out here
// without GL; the pixels come from the installed WindowRenderer.

#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/rect.h"

namespace pirn {

class Window;

void RunMainLoop();
// Running: the main loop goes on and input is accepted (0 in native-dialog
// mode and after a granted quit). Tests and tools that step frames
// themselves switch it on.
bool IsRunning();
void SetRunning(bool on);
// One frame; 1 when something was drawn (the caller presents it).
int StepFrame();
void ProcessDeferredDeletes();
void DestroyRootWindow();

void SetNativeDialogMode(bool on);
bool IsNativeDialogMode();

void InvalidateAll();
void SetPartialRedraw(bool on);
bool IsFullRedrawPending();

int RenderFrame();

void InitWindowSystem(i32 screenWidth, i32 screenHeight);
void InitWindowLayers(i32 screenWidth, i32 screenHeight);
void HandleWindowResize(int width, int height);
void SetMenuBar(Window* window);
Point GetScreenSize();
Rect GetScreenRect();
// -1 root, 0 layer0, 1 layer1, else null.
Window* GetLayerWindow(int which);

void CopyWindowImageToClipboard(Window* window, bool clientOnly);

// Whether a rectangle in the window's client coordinates overlaps the part of
// the window visible in the current redraw pass.
bool IsRectVisibleInPass(const Window* window, const Rect& clientRect);

// The process-wide visible region: disjoint screen rectangles.
void ResetVisibleRegion();
// First call after a reset: starts the region with rect and returns 1. Later:
// out gets the bounding box of the parts of rect still in the region;
// subtract removes them. Returns whether any part overlapped.
int VisibleRegion(const Rect& rect, Rect* out, bool subtract);
const std::vector<Rect>& GetVisibleRegionRects();

// The visibility pass for one clip rectangle (sets draw-state bits and
// visible rectangles).
void RunVisibilityPass(const Rect& clip);

// The debug overlay (Ctrl+F1) and the outlines of the redrawn rectangles
// (Ctrl+F2).
void SetDebugOverlay(bool on);
bool IsDebugOverlayOn();
void SetDirtyRectOutlines(bool on);
bool AreDirtyRectOutlinesOn();

// The debug overlay's text for the current state.
std::string DebugOverlayText();

}  // namespace pirn
