#pragma once

#include <cstdint>
#include <string>

namespace VARD
{

class CSpell;

// Order type codes. 13 (leave the party) and 19 (return to the entrance)
// carry nothing and are plain COrder records.
enum : std::int32_t
{
    kOrderMove = 1,
    kOrderAttack = 2,
    kOrderWield = 3,
    kOrderUnwield = 4,
    kOrderGet = 5,
    kOrderDrop = 6,
    kOrderSplit = 7,
    kOrderCombine = 8,
    kOrderGive = 9,
    kOrderUse = 10,
    kOrderCast = 11,
    kOrderTalk = 12,
    kOrderLeaveParty = 13,
    kOrderPosition = 14,
    kOrderSpendPoints = 15,
    kOrderPower = 16,
    kOrderStore = 17,
    kOrderMoveTalk = 18,
    kOrderReturnToEntrance = 19,
};

// Use kinds of a use order.
enum : std::int32_t
{
    kUseDoor = 1,
    kUseObject = 2,
    kUseItem = 5,
};

// An order queued on an actor. Orders have no behaviour: the engine
// dispatches on the type code and reaches the fields through the class.
class COrder
{
public:
    explicit COrder(std::int32_t type) : m_Type(type) {}
    virtual ~COrder() = default;

    std::int32_t GetType() const { return m_Type; }
    // The first and second 32-bit fields after the type code (0 when absent).
    virtual std::uint32_t GetFirstId() const { return 0; }
    virtual std::uint32_t GetSecondId() const { return 0; }

private:
    std::int32_t m_Type;
};

class CMoveOrder : public COrder
{
public:
    CMoveOrder(double x, double y) : COrder(kOrderMove), m_X(x), m_Y(y) {}
    double GetX() const { return m_X; }
    double GetY() const { return m_Y; }

private:
    double m_X;
    double m_Y;
};

// Orders whose fields are one or two 32-bit values.
class CIdOrder : public COrder
{
public:
    CIdOrder(std::int32_t type, std::uint32_t first, std::uint32_t second = 0)
        : COrder(type), m_First(first), m_Second(second)
    {
    }
    std::uint32_t GetFirstId() const override { return m_First; }
    std::uint32_t GetSecondId() const override { return m_Second; }

private:
    std::uint32_t m_First;
    std::uint32_t m_Second;
};

class CAttackOrder : public CIdOrder
{
public:
    explicit CAttackOrder(std::uint32_t targetId) : CIdOrder(kOrderAttack, targetId) {}
    std::uint32_t GetTargetId() const { return GetFirstId(); }
};

class CWieldOrder : public CIdOrder
{
public:
    CWieldOrder(std::uint32_t itemId, std::int32_t slot)
        : CIdOrder(kOrderWield, itemId, static_cast<std::uint32_t>(slot))
    {
    }
    std::uint32_t GetItemId() const { return GetFirstId(); }
    std::int32_t GetSlot() const { return static_cast<std::int32_t>(GetSecondId()); }
};

class CUnwieldOrder : public CIdOrder
{
public:
    explicit CUnwieldOrder(std::int32_t slot)
        : CIdOrder(kOrderUnwield, static_cast<std::uint32_t>(slot))
    {
    }
    std::int32_t GetSlot() const { return static_cast<std::int32_t>(GetFirstId()); }
};

class CGetOrder : public CIdOrder
{
public:
    CGetOrder(std::uint32_t sourceId, std::uint32_t itemId) : CIdOrder(kOrderGet, sourceId, itemId)
    {
    }
    std::uint32_t GetSourceId() const { return GetFirstId(); }
    std::uint32_t GetItemId() const { return GetSecondId(); }
};

class CDropOrder : public CIdOrder
{
public:
    // targetId 0 drops onto the ground.
    CDropOrder(std::uint32_t targetId, std::uint32_t itemId)
        : CIdOrder(kOrderDrop, targetId, itemId)
    {
    }
    std::uint32_t GetTargetId() const { return GetFirstId(); }
    std::uint32_t GetItemId() const { return GetSecondId(); }
};

class CSplitOrder : public CIdOrder
{
public:
    CSplitOrder(std::uint32_t itemId, std::int32_t count)
        : CIdOrder(kOrderSplit, itemId, static_cast<std::uint32_t>(count))
    {
    }
    std::uint32_t GetItemId() const { return GetFirstId(); }
    std::int32_t GetCount() const { return static_cast<std::int32_t>(GetSecondId()); }
};

class CCombineOrder : public CIdOrder
{
public:
    CCombineOrder(std::uint32_t keptId, std::uint32_t addedId)
        : CIdOrder(kOrderCombine, keptId, addedId)
    {
    }
    std::uint32_t GetKeptId() const { return GetFirstId(); }
    std::uint32_t GetAddedId() const { return GetSecondId(); }
};

class CGiveOrder : public CIdOrder
{
public:
    CGiveOrder(std::uint32_t receiverId, std::uint32_t itemId)
        : CIdOrder(kOrderGive, receiverId, itemId)
    {
    }
    std::uint32_t GetReceiverId() const { return GetFirstId(); }
    std::uint32_t GetItemId() const { return GetSecondId(); }
};

class CUseOrder : public COrder
{
public:
    CUseOrder(std::int32_t useKind, std::uint32_t targetId, std::uint32_t itemId)
        : COrder(kOrderUse), m_UseKind(useKind), m_TargetId(targetId), m_ItemId(itemId)
    {
    }
    std::int32_t GetUseKind() const { return m_UseKind; }
    std::uint32_t GetTargetId() const { return m_TargetId; }
    std::uint32_t GetItemId() const { return m_ItemId; }
    // The first 32-bit field is the use kind.
    std::uint32_t GetFirstId() const override { return static_cast<std::uint32_t>(m_UseKind); }
    std::uint32_t GetSecondId() const override { return m_TargetId; }

private:
    std::int32_t m_UseKind;
    std::uint32_t m_TargetId;
    std::uint32_t m_ItemId;
};

class CCastOrder : public COrder
{
public:
    CCastOrder(std::string spell, std::uint32_t targetId)
        : COrder(kOrderCast), m_Spell(std::move(spell)), m_TargetId(targetId)
    {
    }
    const std::string& GetSpell() const { return m_Spell; }
    std::uint32_t GetTargetId() const { return m_TargetId; }
    std::uint32_t GetFirstId() const override { return m_TargetId; }

    // A cast runs for many ticks: the spell found for the key is kept with
    // the module's spells serial it was found under, null when none.
    const CSpell* GetKnownSpell(std::uint64_t spellsSerial) const
    {
        return spellsSerial == m_KnownSerial ? m_KnownSpell : nullptr;
    }
    void SetKnownSpell(std::uint64_t spellsSerial, const CSpell* spell) const
    {
        m_KnownSerial = spellsSerial;
        m_KnownSpell = spell;
    }

private:
    std::string m_Spell;
    std::uint32_t m_TargetId;
    mutable std::uint64_t m_KnownSerial = 0;
    mutable const CSpell* m_KnownSpell = nullptr;
};

class CTalkOrder : public COrder
{
public:
    CTalkOrder(std::uint32_t targetId, std::string state, std::string chosenText)
        : COrder(kOrderTalk), m_TargetId(targetId), m_State(std::move(state)),
          m_ChosenText(std::move(chosenText))
    {
    }
    std::uint32_t GetTargetId() const { return m_TargetId; }
    const std::string& GetState() const { return m_State; }
    const std::string& GetChosenText() const { return m_ChosenText; }
    std::uint32_t GetFirstId() const override { return m_TargetId; }

private:
    std::uint32_t m_TargetId;
    std::string m_State;
    std::string m_ChosenText;
};

class CPositionOrder : public COrder
{
public:
    explicit CPositionOrder(std::int32_t position) : COrder(kOrderPosition), m_Position(position) {}
    std::int32_t GetPosition() const { return m_Position; }
    std::uint32_t GetFirstId() const override { return static_cast<std::uint32_t>(m_Position); }

private:
    std::int32_t m_Position;
};

class CSpendPointsOrder : public COrder
{
public:
    // attribute 5: no attribute point; skill 83: no skill point.
    CSpendPointsOrder(std::int32_t attribute, std::int32_t skill)
        : COrder(kOrderSpendPoints), m_Attribute(attribute), m_Skill(skill)
    {
    }
    std::int32_t GetAttribute() const { return m_Attribute; }
    std::int32_t GetSkill() const { return m_Skill; }
    std::uint32_t GetFirstId() const override { return static_cast<std::uint32_t>(m_Attribute); }
    std::uint32_t GetSecondId() const override { return static_cast<std::uint32_t>(m_Skill); }

private:
    std::int32_t m_Attribute;
    std::int32_t m_Skill;
};

class CPowerOrder : public COrder
{
public:
    explicit CPowerOrder(std::string power = {}) : COrder(kOrderPower), m_Power(std::move(power)) {}
    const std::string& GetPower() const { return m_Power; }

private:
    std::string m_Power;
};

class CStoreOrder : public COrder
{
public:
    CStoreOrder(std::int32_t buy, std::uint32_t merchantId, std::uint32_t itemId,
                std::uint32_t count)
        : COrder(kOrderStore), m_Buy(buy), m_MerchantId(merchantId), m_ItemId(itemId),
          m_Count(count)
    {
    }
    bool IsBuy() const { return m_Buy != 0; }
    std::int32_t GetBuyFlag() const { return m_Buy; }
    std::uint32_t GetMerchantId() const { return m_MerchantId; }
    std::uint32_t GetItemId() const { return m_ItemId; }
    std::uint32_t GetCount() const { return m_Count; }
    std::uint32_t GetFirstId() const override { return static_cast<std::uint32_t>(m_Buy); }
    std::uint32_t GetSecondId() const override { return m_MerchantId; }

private:
    std::int32_t m_Buy;
    std::uint32_t m_MerchantId;
    std::uint32_t m_ItemId;
    std::uint32_t m_Count;
};

class CMoveTalkOrder : public CIdOrder
{
public:
    explicit CMoveTalkOrder(std::uint32_t targetId) : CIdOrder(kOrderMoveTalk, targetId) {}
    std::uint32_t GetTargetId() const { return GetFirstId(); }
};

} // namespace VARD
