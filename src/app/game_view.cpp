// The game view: what the game screen hands the scene renderer or the world
// map on every paint, and the point the camera looks at.

#include "app/game_view.h"

#include "app/game_app.h"
#include "platform/keys.h"
#include "rules/engine.h"
#include "world/actor.h"
#include "world/game.h"

void CGameApp::GetSelectionCentre(gfx::Vec3& centre)
{
    if (IsOnWorldMap())
    {
        centre = {};
        return;
    }
    std::vector<std::shared_ptr<VARD::CActor>> actors;
    CollectSelectedActors(actors);
    // With nobody to look at (a dead member still selected, a party being
    // replaced) the view stays where it was.
    if (actors.empty())
    {
        centre = lastViewCentre;
        return;
    }
    float x = 0.0f;
    float z = 0.0f;
    for (const auto& actor : actors)
    {
        x += static_cast<float>(actor->GetX());
        z += static_cast<float>(actor->GetY());
    }
    const float share = 1.0f / static_cast<float>(actors.size());
    centre = {x * share, 0.0f, z * share};
    lastViewCentre = centre;
}

VARDGraph::SceneCamera CGameApp::BuildGameCamera(const gfx::Rect* clientRect,
                                                 const gfx::Vec3* target) const
{
    // Behind a dialog the keys belong to the dialog.
    bool rings = false;
    bool reversed = false;
    if (!currentDialog)
    {
        rings = window->IsDown(platform::vk::kControl);
        reversed = window->IsDown(platform::vk::kAlt) && !IsOnWorldMap();
    }
    return MakeGameScreenCamera(clientRect, target, reversed, rings);
}

void CGameApp::DrawGameView(const gfx::Vec3& target)
{
    gfx::Device* drawing = device ? device->Get() : nullptr;
    if (drawing == nullptr || gameLoaded == 0)
        return;
    gfx::Rect client = GetClientRect();
    const VARDGraph::SceneCamera camera = BuildGameCamera(&client, &target);
    VARD::CGame& game = engine->Game();
    if (IsOnWorldMap())
    {
        // A paint that comes before the rebuild after setting out finds the
        // map not yet made; the rebuild repaints.
        if (!mapView.IsInitialised())
            return;
        client.bottom -= kWorldMapBottomStrip;
        mapView.Draw(client, *drawing, game);
    }
    else
        scene.Render(game, *drawing, camera);
}
