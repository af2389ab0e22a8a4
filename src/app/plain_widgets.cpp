#include "app/plain_widgets.h"

#include "ui/ui_buttons.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_element.h"
#include "ui/ui_manager.h"

#include <memory>

namespace
{

constexpr std::uint32_t kBackdrop = 0xC0000000u;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::int32_t kButtonWidth = 120;
constexpr std::int32_t kButtonHeight = 32;
constexpr std::int32_t kTitleHeight = 40;

// A line of text on the backdrop; it takes no mouse action.
class CPlainLabel final : public VARDUI::CUIElement
{
public:
    CPlainLabel(std::string text) : CUIElement(0), m_Text(std::move(text)) {}

    void LoadTextures(gfx::Device&, VARDUI::CUIDrawHelp*) override {}
    void Draw(gfx::Device&, VARDUI::CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const VARDUI::Point*) override
    {
        drawHelp->FillRect(sprite, kBackdrop, &m_Rect);
        drawHelp->ResetTransform(sprite);
        // A title may hold a name of any length.
        VARDUI::CUIDrawHelp::DrawTextWithin(drawHelp->GetFont(), sprite, m_Text, m_Rect,
                                            drawHelp->GetPage(), VARDUI::kUITextCaption, kWhite);
    }
    bool HitTest(const VARDUI::Point*, VARDUI::CUIElement**, std::int32_t*) override
    {
        return false;
    }

private:
    std::string m_Text;
};

} // namespace

void AddPlainDialogWidgets(const gfx::Rect& client, VARDUI::CUIManager& ui,
                           const std::string& title, std::int32_t doneId)
{
    const std::int32_t centreX = (client.left + client.right) / 2;
    const std::int32_t thirdY = client.top + client.Height() / 3;
    auto label = std::make_shared<CPlainLabel>(title);
    label->SetRect({client.left, thirdY - kTitleHeight, client.right, thirdY});
    ui.AddElement(label);
    auto done = std::make_shared<VARDUI::CUITextButton>(doneId, "Done");
    done->SetRect({centreX - kButtonWidth / 2, thirdY + kButtonHeight, centreX + kButtonWidth / 2,
                   thirdY + 2 * kButtonHeight});
    ui.AddElement(done);
}
