#pragma once

// The game screen's one camera: an orbit round the point the party stands
// at. Header only, so that tools drawing the game screen's view without the
// shell (vardshot) look through the same lens.

#include "graphics/scene_renderer.h"
#include "platform/gfx_math.h"
#include "platform/rect.h"

constexpr float kGameViewDistance = 350.0f;
// pi / 16, vertical.
constexpr float kGameViewFieldOfView = 0.19634955f;
constexpr float kGameViewYaw = 330.0f;
// ALT shows the party from the other side.
constexpr float kGameViewYawReversed = 150.0f;
constexpr float kGameViewPitch = 32.5f;
// The strip the HUD's message window covers below the world map.
constexpr int kWorldMapBottomStrip = 110;

// The camera the game screen paints with; reversed turns it round, rings
// shows the rings and order arrows.
inline VARDGraph::SceneCamera MakeGameScreenCamera(const gfx::Rect* clientRect,
                                                   const gfx::Vec3* target, bool reversed = false,
                                                   bool rings = false)
{
    VARDGraph::SceneCamera camera;
    camera.clientRect = clientRect;
    camera.target = target;
    camera.distance = kGameViewDistance;
    camera.fieldOfView = kGameViewFieldOfView;
    camera.yaw = reversed ? kGameViewYawReversed : kGameViewYaw;
    camera.pitch = kGameViewPitch;
    camera.ringFlag = rings ? 1 : 0;
    return camera;
}
