// What a window does the same way on every system: its size, its modal run, closing and
// centring on another window. The system's steps around a modal run are EnterModal and LeaveModal
// in the backends.
#include "platform/window.h"

#include <algorithm>

#include "platform/eventloop.h"

namespace platform {

int TWindow::ClientWidth() const {
    return FWidth;
}
int TWindow::ClientHeight() const {
    return FHeight;
}

void TWindow::SetClientSize(int width, int height) {
    FWidth = std::max(1, width);
    FHeight = std::max(1, height);
    ResizeNative();
    Invalidate();
}

void TWindow::CenterOn(const TWindow& owner) {
    const TRect r = owner.ScreenRect();
    SetPosition(r.Left + (r.Width() - ClientWidth()) / 2,
                r.Top + (r.Height() - ClientHeight()) / 2);
}

int TWindow::ShowModal() {
    FModal = true;
    FModalResult = 0;
    EnterModal();
    // Nested runs (a dialog of a dialog) end in the reverse order they began: an outer run that
    // was ended meanwhile returns once the inner one has.
    while (FModal) TEventLoop::RunUntil([this] { return !FModal; }, 1000);
    LeaveModal();
    return FModalResult;
}

void TWindow::EndModal(int result) {
    if (!FModal) return;  // the first result of a run is the one it returns
    FModalResult = result;
    FModal = false;
}

bool TWindow::InModal() const {
    return FModal;
}

void TWindow::Close() {
    if (OnClose) OnClose();
    // OnClose may have ended the run with its own result already.
    if (FModal && FModalResult == 0) EndModal(2);
    Hide();
}

}  // namespace platform
