#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace VARDGraph
{
class CEffectParams;
}

namespace VARD
{

// Event kinds the rules post for the game screen.
enum : std::int32_t
{
    kEventPartyChanged = 0,
    kEventDoorOpened = 1,
    kEventDoorPicked = 2,
    kEventDoorClosed = 3,
    kEventRangedAttack = 4,
    kEventTilesPatched = 5,
    kEventReturnedToEntrance = 6,
    // 7..15: something about one actor changed.
    kEventActorHitPoints = 7,
    kEventActorEnergy = 8,
    kEventActorEquipment = 9,
    kEventActorCastDone = 10,
    kEventActorEffectLaunched = 11,
    kEventActorUpkeepEnded = 12,
    kEventActorCastDone2 = 13,
    kEventActorPowerStarted = 14,
    kEventActorSneakStopped = 15,
    kEventDialogBox = 30,
    kEventTalk = 31,
    kEventInventory = 32,
    kEventEffect = 34,
};

// Message kinds: they set a message line's category and sound.
enum : std::int32_t
{
    kMessageLockPickedOrDisarmed = 2,
    kMessageInfo = 18,
    kMessageGold = 19,
    kMessageQuest = 20,
    kMessageLocked = 21,
    kMessageMeleeMiss = 22,
    kMessageMeleeHit = 23,
    kMessageRangedMiss = 24,
    kMessageRangedHit = 25,
    kMessageDeath = 26,
    kMessageSpell = 27,
    kMessageHealing = 28,
    kMessageSummon = 29,
};

class CEvent
{
public:
    explicit CEvent(std::int32_t kind) : m_Kind(kind) {}
    virtual ~CEvent() = default;
    std::int32_t GetKind() const { return m_Kind; }
    // The bytes of text the event holds, which a script run is charged for.
    virtual std::size_t KeptBytes() const { return 0; }
    // A line or box for the player to read, which a run that cannot pay for
    // it leaves unshown; every other event is kept.
    virtual bool IsShownText() const { return false; }

private:
    std::int32_t m_Kind;
};

// Kinds 0 to 6: something happened that the screen refreshes for.
class CInfoEvent : public CEvent
{
public:
    explicit CInfoEvent(std::int32_t kind) : CEvent(kind) {}
};

// Kinds 7 to 15: one actor's display must be refreshed.
class CActorInfoEvent : public CEvent
{
public:
    CActorInfoEvent(std::int32_t kind, std::uint32_t actorId) : CEvent(kind), m_ActorId(actorId) {}
    std::uint32_t GetActorId() const { return m_ActorId; }

private:
    std::uint32_t m_ActorId;
};

// Kinds 18 to 29 (and 2): one line for the message window.
class CMessageEvent final : public CEvent
{
public:
    CMessageEvent(std::int32_t kind, std::string text) : CEvent(kind), m_Text(std::move(text)) {}
    const std::string& GetText() const { return m_Text; }
    std::size_t KeptBytes() const override { return m_Text.size(); }
    bool IsShownText() const override { return true; }

private:
    std::string m_Text;
};

class CDialogBoxEvent : public CEvent
{
public:
    CDialogBoxEvent(std::string first, std::string second)
        : CEvent(kEventDialogBox), m_First(std::move(first)), m_Second(std::move(second))
    {
    }
    const std::string& GetFirstText() const { return m_First; }
    const std::string& GetSecondText() const { return m_Second; }
    std::size_t KeptBytes() const override { return m_First.size() + m_Second.size(); }
    bool IsShownText() const override { return true; }

private:
    std::string m_First;
    std::string m_Second;
};

// A conversation starts between two things.
class CTalkEvent : public CEvent
{
public:
    CTalkEvent(std::uint32_t firstId, std::uint32_t secondId)
        : CEvent(kEventTalk), m_FirstId(firstId), m_SecondId(secondId)
    {
    }
    std::uint32_t GetFirstId() const { return m_FirstId; }
    std::uint32_t GetSecondId() const { return m_SecondId; }

private:
    std::uint32_t m_FirstId;
    std::uint32_t m_SecondId;
};

// A container is opened by an actor.
class CInvEvent : public CEvent
{
public:
    CInvEvent(std::uint32_t firstId, std::uint32_t secondId)
        : CEvent(kEventInventory), m_FirstId(firstId), m_SecondId(secondId)
    {
    }
    std::uint32_t GetFirstId() const { return m_FirstId; }
    std::uint32_t GetSecondId() const { return m_SecondId; }

private:
    std::uint32_t m_FirstId;
    std::uint32_t m_SecondId;
};

// An area patch places a visual effect; the screen hands its parameters
// (colour, value) on to the drawing as they are.
class CEffectEvent : public CEvent
{
public:
    CEffectEvent(std::string effect, std::shared_ptr<const VARDGraph::CEffectParams> params,
                 double x, double y)
        : CEvent(kEventEffect), m_Effect(std::move(effect)), m_Params(std::move(params)), m_X(x),
          m_Y(y)
    {
    }
    const std::string& GetEffect() const { return m_Effect; }
    const std::shared_ptr<const VARDGraph::CEffectParams>& GetParams() const { return m_Params; }
    double GetX() const { return m_X; }
    double GetY() const { return m_Y; }
    std::size_t KeptBytes() const override { return m_Effect.size(); }

private:
    std::string m_Effect;
    std::shared_ptr<const VARDGraph::CEffectParams> m_Params;
    double m_X;
    double m_Y;
};

} // namespace VARD
