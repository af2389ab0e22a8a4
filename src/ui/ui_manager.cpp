#include "ui/ui_manager.h"

#include "common/exception.h"
#include "platform/gfx_error.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_hover_window.h"

#include <typeinfo>

namespace VARDUI
{

CUIManager::~CUIManager()
{
    m_DrawHelp.reset();
    m_Events.clear();
    m_Elements.clear();
}

void CUIManager::AddElement(std::shared_ptr<CUIElement> element)
{
    CUIElement& added = *element;
    if (typeid(added) == typeid(CUIHoverWindow))
        m_HoverWindow = static_cast<CUIHoverWindow*>(&added);
    m_Elements.push_back(std::move(element));
}

void CUIManager::AddPage(std::shared_ptr<CUIElement> panel)
{
    m_Page = panel.get();
    AddElement(std::move(panel));
}

void CUIManager::Clear()
{
    m_DrawHelp.reset();
    m_Elements.clear();
    m_HoverWindow = nullptr;
    m_Page = nullptr;
    m_Pressed = nullptr;
    m_Events.clear();
}

void CUIManager::CreateResources(gfx::Device& device)
{
    m_Pressed = nullptr;
    m_DrawHelp.reset();
    m_DrawHelp = std::make_shared<CUIDrawHelp>(device);
    for (const auto& element : m_Elements)
        element->LoadTextures(device, m_DrawHelp.get());
}

void CUIManager::Draw(gfx::Device& device, const Point* cursor)
{
    // Widgets draw through the drawing object; without one they would have
    // nothing to draw with.
    if (!m_DrawHelp)
        throw CVARDException(kUIErrorCode, "widget tree drawn before its resources were made");
    device.SetAlphaBlendEnable(true);
    gfx::Sprite sprite(device);
    try
    {
        // The sprite's own blending: the scene may leave any blend factors
        // behind, and the translucent backdrops need source alpha.
        sprite.Begin(gfx::kSpriteAlphaBlend);
        device.SetSamplerAddress(gfx::TextureAddress::Wrap, gfx::TextureAddress::Wrap);
    }
    catch (const gfx::Error& error)
    {
        throw CVARDException(kUIErrorCode, error.what());
    }
    m_DrawHelp->SetPage(m_Page ? m_Page->GetRect()
                               : Rect{0, 0, static_cast<std::int32_t>(device.GetWidth()),
                                      static_cast<std::int32_t>(device.GetHeight())});
    for (const auto& element : m_Elements)
        element->Draw(device, m_DrawHelp.get(), &sprite, cursor);
    if (m_Pressed)
        m_Pressed->DrawDrag(device, m_DrawHelp.get(), &sprite, cursor);
    try
    {
        sprite.End();
    }
    catch (const gfx::Error& error)
    {
        throw CVARDException(kUIErrorCode, error.what());
    }
}

std::int32_t CUIManager::HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId)
{
    if (outElement)
        *outElement = nullptr;
    if (!point)
        return 0;
    for (const auto& element : m_Elements)
        if (element->HitTest(point, outElement, outId))
            return 1;
    return 0;
}

void CUIManager::QueueRedraw()
{
    Queue(std::make_shared<CUIEvent>(kUIEventRedraw));
}

std::int32_t CUIManager::DispatchMouse(std::int32_t action, const Point* point)
{
    if (action == kUIMouseMove)
    {
        if (m_Pressed)
        {
            m_Pressed->ClassifyMouse(kUIMouseDragMove, point);
            QueueRedraw();
            return 1;
        }
        CUIElement* hit = nullptr;
        if (!HitTest(point, &hit, nullptr))
            return 0;
        if (m_HoverWindow)
            hit->FillHoverWindow(m_HoverWindow);
        QueueRedraw();
        return 1;
    }

    if (action == kUIMouseLeftUp)
    {
        if (!m_Pressed)
            return 0;
        std::int32_t target = 0;
        if (HitTest(point, nullptr, &target))
            Queue(std::make_shared<CUIEventDrop>(m_PressedId, target));
        else
            Queue(std::make_shared<CUIEvent>(kUIEventDragCancel));
        m_Pressed->ClassifyMouse(kUIMouseLeftUp, point);
        m_Pressed = nullptr;
        QueueRedraw();
        return 1;
    }

    if (action != kUIMouseLeftDown && action != kUIMouseRight)
        return 0;

    // The release of an earlier press never arrived.
    if (m_Pressed)
    {
        m_Pressed->ClassifyMouse(kUIMouseLeftUp, nullptr);
        m_Pressed = nullptr;
        Queue(std::make_shared<CUIEvent>(kUIEventDragCancel));
    }
    CUIElement* hit = nullptr;
    std::int32_t id = 0;
    if (!HitTest(point, &hit, &id))
        return 0;
    switch (hit->ClassifyMouse(action, point))
    {
    case kUIClassifyUsed:
        break;
    case kUIClassifyClick:
        Queue(std::make_shared<CUIEventButton>(kUIEventClick, id));
        break;
    case kUIClassifyRightClick:
        Queue(std::make_shared<CUIEventButton>(kUIEventRightClick, id));
        break;
    case kUIClassifyPress:
        m_Pressed = hit;
        m_PressedId = id;
        Queue(std::make_shared<CUIEventButton>(kUIEventDragStart, id));
        break;
    default:
        return 0;
    }
    QueueRedraw();
    return 1;
}

} // namespace VARDUI
