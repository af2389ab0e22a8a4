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
    // There is none at start-up; a second call starts afresh.
    device.reset();
    // The back buffer takes the client area's size until the first
    // size message says otherwise.
    presentParameters = {};
    device = machine->CreateDevice(*window);
    if (!device)
    {
        ShowMessageBox("Game Error", "Failed to init D3D\n", platform::MessageBoxIcon::Warning);
        return false;
    }
    SetRenderStates();
    return true;
}

void CGameApp::SetRenderStates()
{
    device->SetRenderStates();
}

void CGameApp::ReleaseDeviceResources()
{
    // The scene and the widgets live on the device.
    if (gameLoaded != 0 && sceneBuilt != 0)
    {
        scene.Clear(engine->Game());
        mapView.Clear();
        sceneBuilt = 0;
    }
    ClearUI();
    // The window shows black until the rebuild.
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
    // Every paint tries the reset until one succeeds.
    if (deviceLost != 0)
    {
        ReleaseDeviceResources();
        if (!device->Reset(presentParameters.backBufferWidth, presentParameters.backBufferHeight))
            return;
        SetRenderStates();
        deviceLost = 0;
        window->PostAppMessage(kAppMessageGameLoaded);
    }
    device->Clear(kBlack, 1.0f);
    if (!device->BeginScene())
        return;
    gfx::Device* drawing = device->Get();
    // The mini-map follows the camera.
    if (sceneBuilt != 0 && gameLoaded != 0)
    {
        gfx::Vec3 centre;
        GetSelectionCentre(centre);
        if (auto* map = dynamic_cast<VARDUI::CUIMiniMap*>(miniMap))
            map->SetCenter(centre.x, centre.z);
        DrawGameView(centre);
    }
    // The widgets over the scene.
    if (drawing != nullptr && ui.GetDrawHelp())
    {
        drawing->SetSamplePass(VARDGraph::kPassHud);
        ui.Draw(*drawing, mouseTracked != 0 ? &mousePoint : nullptr);
        drawing->SetSamplePass(VARDGraph::kPassOther);
    }
    // A failed present marks the device lost for the next paint.
    device->EndScene();
    if (!device->Present())
        deviceLost = 1;
}

void CGameApp::OnSize(platform::SizeKind sizeType, int width, int height)
{
    if (sizeType == platform::SizeKind::Minimized || !device)
        return;
    // The next reset takes the window's new size.
    presentParameters.backBufferWidth = static_cast<std::uint32_t>(width);
    presentParameters.backBufferHeight = static_cast<std::uint32_t>(height);
    // While the user drags the frame the reset waits for its end.
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
