// The stream side's display: the overlay window, reached by posted messages only, so that the
// stream thread never waits for the window's thread.

#include "OverlayDisplay.h"

#include "StreamCallbackManager.h"

namespace {

class OverlayDisplay final : public StreamSideDisplay {
public:
    explicit OverlayDisplay(const std::unique_ptr<WindowAsChild>& window) : overlay(window) {}

    void Show(const LogoRecord& logo) override {
        if (!overlay) return;
        overlay->SetLogo(logo);
        PostMessageW(overlay->hwnd, MSG_SHOW_LOGO, 1, 0);
    }

    void Hide() override {
        if (overlay) PostMessageW(overlay->hwnd, MSG_SHOW_LOGO, 0, 0);
    }

    void AskViewerForLogo() override {
        if (overlay) PostMessageW(overlay->hwnd, MSG_ASK_VIEWER, 0, 0);
    }

private:
    // The manager's. No window before initialisation has created one: nothing is shown that
    // could be hidden.
    const std::unique_ptr<WindowAsChild>& overlay;
};

}  // namespace

std::unique_ptr<StreamSideDisplay> OverlayAsDisplay(const std::unique_ptr<WindowAsChild>& window) {
    return std::make_unique<OverlayDisplay>(window);
}

LRESULT PluginOverlay::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != MSG_ASK_VIEWER)
        return WindowAsChild::HandleMessage(window, message, wParam, lParam);
    if (askViewer) askViewer();
    return 0;
}
