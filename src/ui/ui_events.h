#pragma once

#include "ui/ui_types.h"

#include <cstdint>

namespace VARDUI
{

// What the widget tree reports to the shell; consumers tell the kinds apart
// by type and by run-time type.
class CUIEvent
{
public:
    // kUIEventRedraw or kUIEventDragCancel.
    explicit CUIEvent(std::int32_t type) : m_Type(type) {}
    virtual ~CUIEvent() = default;

    std::int32_t GetType() const { return m_Type; }

private:
    std::int32_t m_Type;
};

// Click, right click or drag start on the widget with the id.
class CUIEventButton : public CUIEvent
{
public:
    CUIEventButton(std::int32_t type, std::int32_t id) : CUIEvent(type), m_Id(id) {}

    std::int32_t GetId() const { return m_Id; }

private:
    std::int32_t m_Id;
};

// A drag released over a widget: source is the pressed element's id, target
// the id under the cursor (the same when released on the pressed widget).
class CUIEventDrop : public CUIEvent
{
public:
    CUIEventDrop(std::int32_t source, std::int32_t target)
        : CUIEvent(kUIEventDrop), m_Source(source), m_Target(target)
    {
    }

    std::int32_t GetSource() const { return m_Source; }
    std::int32_t GetTarget() const { return m_Target; }

private:
    std::int32_t m_Source;
    std::int32_t m_Target;
};

} // namespace VARDUI
