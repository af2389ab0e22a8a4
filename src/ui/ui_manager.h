#pragma once

#include "platform/device.h"
#include "ui/ui_element.h"
#include "ui/ui_events.h"
#include "ui/ui_types.h"

#include <cstdint>
#include <list>
#include <memory>

namespace VARDUI
{

class CUIDrawHelp;
class CUIHoverWindow;

using CUIEventList = std::list<std::shared_ptr<CUIEvent>>;

// The root of the widget tree: the top-level widgets, the hover window, the
// element being pressed or dragged, the queue of UI events and the drawing
// object. Later elements draw over earlier ones; hit testing prefers the
// earlier one.
class CUIManager
{
public:
    CUIManager() = default;
    ~CUIManager();
    CUIManager(const CUIManager&) = delete;
    CUIManager& operator=(const CUIManager&) = delete;

    // An element whose run-time type is exactly CUIHoverWindow also becomes
    // the hover window.
    void AddElement(std::shared_ptr<CUIElement> element);
    // Adds the dialog's panel: its rectangle, wherever it is moved to, is the
    // page that no widget's title or caption leaves. Without one the page
    // is the device's whole target.
    void AddPage(std::shared_ptr<CUIElement> panel);
    // Drops the drawing object, every element and every queued event.
    void Clear();
    // A new drawing object for the device, then LoadTextures on every
    // element in order.
    void CreateResources(gfx::Device& device);
    // Draws every element in order, then the pressed element's drag. A null
    // cursor draws nothing as hovered. Throws code 4 before CreateResources.
    void Draw(gfx::Device& device, const Point* cursor);
    // A kUIMouse... action: 1 when the widget tree used it, 0 when the game
    // view may have it. Queues the events it makes.
    std::int32_t DispatchMouse(std::int32_t action, const Point* point);
    // The first element, in the order added, that the point hits.
    std::int32_t HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId);
    void QueueRedraw();

    const CUIElementList& GetElements() const { return m_Elements; }
    CUIHoverWindow* GetHoverWindow() const { return m_HoverWindow; }
    // Null without one.
    const CUIElement* GetPage() const { return m_Page; }
    CUIElement* GetPressed() const { return m_Pressed; }
    // The queue, oldest first; the shell takes events off the front.
    CUIEventList& GetEvents() { return m_Events; }
    // Null until CreateResources.
    const std::shared_ptr<CUIDrawHelp>& GetDrawHelp() const { return m_DrawHelp; }

private:
    void Queue(std::shared_ptr<CUIEvent> event) { m_Events.push_back(std::move(event)); }

    CUIElementList m_Elements;
    CUIHoverWindow* m_HoverWindow = nullptr;
    const CUIElement* m_Page = nullptr;
    CUIElement* m_Pressed = nullptr;
    // The id the press reported: a list that classifies its children's clicks
    // is pressed itself but reports the child's id, and the drop names the
    // same source as the drag start.
    std::int32_t m_PressedId = 0;
    CUIEventList m_Events;
    std::shared_ptr<CUIDrawHelp> m_DrawHelp;
};

} // namespace VARDUI
