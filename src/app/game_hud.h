#pragma once

// The ids of the game screen's widgets, which its click handlers answer.

#include <cstdint>

constexpr std::int32_t kHudMessageWindowId = 1;
constexpr std::int32_t kHudMessagesButtonId = 2;
constexpr std::int32_t kHudMiniMapId = 3;
constexpr std::int32_t kHudFullMapButtonId = 4;
constexpr std::int32_t kHudGameButtonId = 5;
constexpr std::int32_t kHudPauseButtonId = 6;
constexpr std::int32_t kHudFastMoveButtonId = 7;
constexpr std::int32_t kHudSelectAllButtonId = 8;
constexpr std::int32_t kHudReturnButtonId = 9;
constexpr std::int32_t kHudExitButtonId = 10;
// Member i's portrait is kHudFirstPortraitId + 5 i, its "Move Up" button one
// more.
constexpr std::int32_t kHudFirstPortraitId = 100;
constexpr std::int32_t kHudPortraitIdStep = 5;
constexpr std::int32_t kHudLastPortraitId = 198;
constexpr std::int32_t kHudActionWindowId = 200;
constexpr std::int32_t kHudFirstActionSlotId = 210;
constexpr std::int32_t kHudLastActionSlotId = 298;

// Built-in images of the command row.
constexpr std::uint32_t kHudImagePause = 161;
constexpr std::uint32_t kHudImageResume = 162;
constexpr std::uint32_t kHudImageSelectAll = 163;
constexpr std::uint32_t kHudImageReturn = 164;
constexpr std::uint32_t kHudImageFastMoveOn = 177;
constexpr std::uint32_t kHudImageFastMoveOff = 178;
