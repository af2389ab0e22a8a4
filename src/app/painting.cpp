// The drawing device: its creation, its fixed states, painting the window,
// and the resets after a lost device or a new window size, after which
// everything that lives on the device is built again.

#include "app/game_app.h"

#include "rules/engine.h"
#include "ui/ui_mini_map.h"
#include "world/game.h"

namespace
{

constexpr std::uint32_t kBlack = 0xFF000000u;

} // namespace

bool CGameApp::CreateDevice()
{
    // 1. There is none at start-up; a second call starts afresh.
    device.reset();
    // 2 to 4. The back buffer takes the client area's size until the first
    // size message says otherwise.
    presentParameters = {};
    device = machine->CreateDevice(*window);
    if (!device)
    {
        ShowMessageBox("Game Error", "Failed to init D3D\n", platform::MessageBoxIcon::Warning);
        return false;
    }
    // 5.
    SetRenderStates();
    return true;
}

void CGameApp::SetRenderStates()
{
    device->SetRenderStates();
}

void CGameApp::ReleaseDeviceResources()
{
    // 1.
    if (gameLoaded != 0 && sceneBuilt != 0)
    {
        scene.Clear(engine->Game());
        mapView.Clear();
        sceneBuilt = 0;
    }
    // 2.
    ClearUI();
    // 3. The window shows black until the rebuild.
    window->Invalidate();
}

// After a successful reset.
void CGameApp::RebuildAfterReset()
{
    SetRenderStates();
    window->PostAppMessage(kAppMessageGameLoaded);
}

void CGameApp::OnPaint()
{
    if (!device || inSizeMove != 0)
    {
        if (device)
            device->ShowBlack();
        return;
    }
    // 1. Every paint tries the reset until one succeeds.
    if (deviceLost != 0)
    {
        ReleaseDeviceResources();
        if (!device->Reset(presentParameters.backBufferWidth, presentParameters.backBufferHeight))
            return;
        SetRenderStates();
        deviceLost = 0;
        window->PostAppMessage(kAppMessageGameLoaded);
    }
    // 2.
    device->Clear(kBlack, 1.0f);
    // 3.
    if (!device->BeginScene())
        return;
    gfx::Device* drawing = device->Get();
    // 4. The mini-map follows the camera.
    if (sceneBuilt != 0 && gameLoaded != 0)
    {
        gfx::Vec3 centre;
        GetSelectionCentre(centre);
        if (auto* map = dynamic_cast<VARDUI::CUIMiniMap*>(miniMap))
            map->SetCenter(centre.x, centre.z);
        DrawGameView(centre);
    }
    // 5.
    if (drawing != nullptr && ui.GetDrawHelp())
        ui.Draw(*drawing, mouseTracked != 0 ? &mousePoint : nullptr);
    // 6.
    device->EndScene();
    if (!device->Present())
        deviceLost = 1;
}

void CGameApp::OnSize(platform::SizeKind sizeType, int width, int height)
{
    if (sizeType == platform::SizeKind::Minimized || !device)
        return;
    // 1.
    presentParameters.backBufferWidth = static_cast<std::uint32_t>(width);
    presentParameters.backBufferHeight = static_cast<std::uint32_t>(height);
    // 2. While the user drags the frame the reset waits for its end.
    if (inSizeMove != 0)
        return;
    ReleaseDeviceResources();
    if (device->Reset(presentParameters.backBufferWidth, presentParameters.backBufferHeight))
        RebuildAfterReset();
    else
        // The next paint tries again rather than leaving the screen black.
        deviceLost = 1;
}

void CGameApp::OnExitSizeMove()
{
    if (inSizeMove == 0)
        return;
    inSizeMove = 0;
    if (!device)
        return;
    if (device->Reset(presentParameters.backBufferWidth, presentParameters.backBufferHeight))
    {
        RebuildAfterReset();
        RequestRedraw();
    }
    else
    {
        deviceLost = 1;
        window->Invalidate();
    }
}
