// The notification-area icon: shown or hidden, with a tooltip and a click event. Windows: the
// shell's notification area; Linux: a small always-on-top icon window in the screen's corner.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/image.h"

namespace platform {

class TTrayIcon {
public:
    TTrayIcon();
    ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    void SetIcon(const TImage& icon);  // empty: the program's icon
    void SetTip(const std::string& tip);
    void Show();
    void Hide();
    bool Visible() const { return FVisible; }

    std::function<void()> OnClick;

    struct TImpl;

private:
    std::unique_ptr<TImpl> F;
    bool FVisible = false;
};

}  // namespace platform
