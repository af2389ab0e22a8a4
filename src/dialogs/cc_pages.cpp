#include "dialogs/cc_pages.h"

#include "app/game_app.h"
#include "app/product_strings.h"
#include "app/vard_audio.h"
#include "dialogs/attrib_dlg.h"
#include "platform/keys.h"
#include "rules/engine.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"
#include "ui/ui_static_text.h"
#include "ui/ui_text.h"
#include "world/actor.h"
#include "world/module.h"
#include "world/rule_tables.h"

namespace
{

constexpr std::int32_t kSpacing = 16;

template <class Widget> std::shared_ptr<Widget> Sized(std::shared_ptr<Widget> widget, int w, int h)
{
    widget->SetRect({0, 0, w, h});
    return widget;
}

std::shared_ptr<VARDUI::CUITextElement> PageText(const std::string& text, int w, int h)
{
    return Sized(std::make_shared<VARDUI::CUITextElement>(text, 0u), w, h);
}

std::shared_ptr<VARDUI::CUITextButton> PageButton(int id, const std::string& caption, int w, int h)
{
    return Sized(std::make_shared<VARDUI::CUITextButton>(id, caption), w, h);
}

std::string WelcomeText()
{
    const std::string product = GetProductName();
    return "Welcome to " + product +
           "! It's time to create a new character. I'll ask you to make a set of choices "
           "determining the characteristics of your in-game alter-ego. LINE LINE You may want "
           "to refer to the " +
           product +
           " manual for more information on the choices you'll be making. LINE LINE Let's "
           "start by selecting a gender for your character. Note that in the world of " +
           product + ", males and females are equally capable in all matters mental and physical.";
}

std::string ClassText()
{
    return "Next we'll pick a class for your character. A character's class determines his "
           "basic approach to adventuring in the world, and in particular which skills the "
           "character can specialize in. LINE LINE Fighters are the combat specialists, good "
           "at combat skills but poor in general and spellcasting skills. A fighter is suitable "
           "for being a thug-like basher, a skillful swordsman, or even a dead-eye marksman. "
           "LINE LINE In " +
           GetProductName() + ", only the Fighter class is allowed.";
}

std::string ClosingText()
{
    return "And now you're ready to play! Once you hit Finish you'll see your character in the "
           "game. See the " +
           GetProductName() + " manual for more information on how to play. LINE LINE Visit " +
           GetProductWebPage() + " for News, Updates, and More Information on " + GetMakerName() +
           " and " + GetProductName() + ".";
}

} // namespace

// ------------------------------------------------------------------ gender

std::string CCCGenderDlg::GetTitle()
{
    return "Gender";
}

void CCCGenderDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const VARDUI::CUIElementList column = {
        PageText(WelcomeText(), 500, 168), PageButton(kMaleId, "Male", 192, 32),
        PageButton(kFemaleId, "Female", 192, 32), PageButton(kCancelId, "Cancel", 192, 32)};
    LayOutCreationPage(*clientRect, *ui, false, column);
}

int CCCGenderDlg::OnButton(int elementId)
{
    switch (elementId)
    {
    case kMaleId:
        m_Actor->SetGender(0);
        return 1;
    case kFemaleId:
        m_Actor->SetGender(1);
        return 1;
    case kCancelId:
        return Cancel();
    default:
        return 0;
    }
}

void CCCGenderDlg::OpenNextPage(CGameApp* app)
{
    app->SetDialog(true, std::make_shared<CCCClassDlg>(m_Engine, m_Actor));
}

// ------------------------------------------------------------------- class

std::string CCCClassDlg::GetTitle()
{
    return "Class";
}

void CCCClassDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    VARDUI::CUIElementList column = {PageText(ClassText(), 500, 328)};
    // Only fighters may be made; the other rows get no button.
    for (int row = 0; row < VARD::kClassCount; ++row)
        if (row == 0)
            column.push_back(
                PageButton(kClassBaseId + row, VARD::GetClassDisplayName(row), 192, 32));
    column.push_back(PageButton(kCancelId, "Cancel", 192, 32));
    LayOutCreationPage(*clientRect, *ui, true, column);
}

int CCCClassDlg::OnButton(int elementId)
{
    if (elementId == kCancelId)
        return Cancel();
    if (elementId >= kClassBaseId && elementId < kClassBaseId + VARD::kClassCount)
    {
        m_Actor->SetClass(static_cast<std::uint32_t>(elementId - kClassBaseId));
        return 1;
    }
    return 0;
}

void CCCClassDlg::OpenNextPage(CGameApp* app)
{
    app->SetDialog(true, std::make_shared<CCCAttribDlg>(m_Engine, app, m_Actor));
}

// -------------------------------------------------------------------- head

std::string CCCHeadDlg::GetTitle()
{
    return "Appearance";
}

void CCCHeadDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    auto heads = std::make_shared<VARDUI::CUIGroup>(1u, "Appearance:", 0u, kSpacing);
    const auto& list = m_Engine->Module().GetHeads(static_cast<int>(m_Actor->GetGender()));
    for (std::size_t i = 0; i < list.size(); ++i)
        heads->AddChild(
            PageButton(kHeadBaseId + static_cast<int>(i), list[i]->displayName, 300, 32));
    const VARDUI::CUIElementList column = {
        PageText("Here you may select the basic appearance of your character. This selection is "
                 "purely cosmetic and has no effect on the abilities of your character.",
                 500, 88),
        heads, PageButton(kCancelId, "Cancel", 64, 32)};
    LayOutCreationPage(*clientRect, *ui, false, column);
}

int CCCHeadDlg::OnButton(int elementId)
{
    if (elementId == kCancelId)
        return Cancel();
    if (elementId >= kHeadBaseId && elementId < kHeadBaseId + 100)
        return VARD::ChooseCreationHead(m_Engine->Module(), *m_Actor,
                                        static_cast<std::size_t>(elementId - kHeadBaseId))
                   ? 1
                   : 0;
    return 0;
}

void CCCHeadDlg::OpenNextPage(CGameApp* app)
{
    app->SetDialog(true, std::make_shared<CCCColorsDlg>(app, m_Engine, m_Actor));
}

// ----------------------------------------------------------------- colours

std::shared_ptr<VARDUI::CUIGroup> BuildPaletteGroup(const std::string& caption,
                                                    std::vector<VARDUI::CUIColorButton*>& swatches,
                                                    int baseId,
                                                    const VARD::CreationPalette& palette)
{
    swatches.clear();
    auto group = std::make_shared<VARDUI::CUIGroup>(1u, caption, 0u, 1);
    // Four rows of four swatches; the first is highlighted.
    for (int row = 0; row < 4; ++row)
    {
        auto line = std::make_shared<VARDUI::CUIGroup>(0u, std::string(), 1u, 1);
        for (int column = 0; column < 4; ++column)
        {
            const int index = row * 4 + column;
            auto swatch = Sized(std::make_shared<VARDUI::CUIColorButton>(
                                    baseId + index, palette[static_cast<std::size_t>(index)]),
                                32, 32);
            if (index == 0)
                swatch->SetFlags(VARDUI::kUIFlagHighlighted, 1);
            swatches.push_back(swatch.get());
            line->AddChild(swatch);
        }
        group->AddChild(line);
    }
    return group;
}

CCCColorsDlg::CCCColorsDlg(CGameApp* app, VARD::CEngine* engine,
                           std::shared_ptr<VARD::CActor> actor)
    : CCCDlg(engine, std::move(actor)), m_App(app)
{
}

std::string CCCColorsDlg::GetTitle()
{
    return "Appearance";
}

void CCCColorsDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    auto palettes = std::make_shared<VARDUI::CUIGroup>(0u, std::string(), 1u, kSpacing);
    palettes->AddChild(
        BuildPaletteGroup("Hair", m_HairSwatches, kHairBaseId, VARD::kCreationHairPalette));
    m_HairChoice = 0;
    palettes->AddChild(
        BuildPaletteGroup("Skin", m_SkinSwatches, kSkinBaseId, VARD::kCreationSkinPalette));
    m_SkinChoice = 0;
    palettes->AddChild(
        BuildPaletteGroup("Trim", m_TrimSwatches, kTrimBaseId, VARD::kCreationTrimPalette));
    m_TrimChoice = 0;
    auto buttons = std::make_shared<VARDUI::CUIGroup>(0u, std::string(), 1u, kSpacing);
    buttons->AddChild(PageButton(kDoneId, "Done", 64, 32));
    buttons->AddChild(PageButton(kCancelId, "Cancel", 64, 32));
    const VARDUI::CUIElementList column = {
        PageText("On this page you may select the basic colors for your character; hair, skin, "
                 "and clothing color. This choice is purely cosmetic and has no effect on "
                 "gameplay.",
                 500, 88),
        palettes, buttons};
    LayOutCreationPage(*clientRect, *ui, true, column);
}

void CCCColorsDlg::Choose(std::vector<VARDUI::CUIColorButton*>& swatches, int& choice, int index)
{
    swatches.at(static_cast<std::size_t>(choice))->SetFlags(VARDUI::kUIFlagHighlighted, 0);
    choice = index;
    swatches.at(static_cast<std::size_t>(choice))->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    if (m_App->audio)
        m_App->audio->PlaySound(kSoundEventClick);
}

int CCCColorsDlg::OnButton(int elementId)
{
    constexpr int kCount = static_cast<int>(VARD::kCreationPaletteSize);
    if (elementId == kCancelId)
        return Cancel();
    if (elementId == kDoneId)
        return 1;
    if (elementId >= kHairBaseId && elementId < kHairBaseId + kCount)
        Choose(m_HairSwatches, m_HairChoice, elementId - kHairBaseId);
    else if (elementId >= kSkinBaseId && elementId < kSkinBaseId + kCount)
        Choose(m_SkinSwatches, m_SkinChoice, elementId - kSkinBaseId);
    else if (elementId >= kTrimBaseId && elementId < kTrimBaseId + kCount)
        Choose(m_TrimSwatches, m_TrimChoice, elementId - kTrimBaseId);
    return 0;
}

void CCCColorsDlg::OpenNextPage(CGameApp* app)
{
    VARD::ApplyCreationColours(*m_Actor, static_cast<std::size_t>(m_HairChoice),
                               static_cast<std::size_t>(m_SkinChoice),
                               static_cast<std::size_t>(m_TrimChoice));
    app->SetDialog(true, std::make_shared<CCCNameDlg>(m_Engine, m_Actor));
}

// -------------------------------------------------------------------- name

std::string CCCNameDlg::GetTitle()
{
    return "Name";
}

void CCCNameDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    m_NameBox = Sized(std::make_shared<VARDUI::CUIStaticText>(std::string(), 0), 300, 24);
    m_NameBox->SetFlags(VARDUI::kUIFlagTextFrame, 1);
    auto buttons = std::make_shared<VARDUI::CUIGroup>(0u, std::string(), 1u, kSpacing);
    auto done = PageButton(kDoneId, "Done", 64, 32);
    done->SetFlags(VARDUI::kUIFlagVisible, 0);
    m_DoneButton = done.get();
    buttons->AddChild(done);
    buttons->AddChild(PageButton(kCancelId, "Cancel", 64, 32));
    const VARDUI::CUIElementList column = {
        PageText("OK, almost done! Just one more important task; you must select a name for "
                 "your character. You'll be looking at it all game, so pick something good.",
                 500, 88),
        m_NameBox, PageText(ClosingText(), 500, 88), buttons};
    LayOutCreationPage(*clientRect, *ui, false, column);
}

std::string CCCNameDlg::GetTypedName() const
{
    return m_NameBox ? m_NameBox->text : std::string();
}

bool CCCNameDlg::HasName() const
{
    return !VARD::CleanCreatedName(GetTypedName()).empty();
}

int CCCNameDlg::OnKey(int virtualKey, int shiftDown)
{
    if (virtualKey == static_cast<int>(platform::vk::kEscape))
        return Cancel();
    if (virtualKey == static_cast<int>(platform::vk::kReturn))
        return HasName() ? 1 : 0;
    if (!m_NameBox)
        return 0;
    VARDUI::CUIStaticText::ApplyKey(static_cast<std::uint32_t>(virtualKey),
                                    shiftDown != 0 ? 1u : 0u, *m_NameBox);
    if (m_DoneButton != nullptr)
        m_DoneButton->SetFlags(VARDUI::kUIFlagVisible, HasName() ? 1u : 0u);
    return 0;
}

int CCCNameDlg::OnButton(int elementId)
{
    if (elementId == kDoneId)
        return HasName() ? 1 : 0;
    if (elementId == kCancelId)
        return Cancel();
    return 0;
}

void CCCNameDlg::OpenNextPage(CGameApp* app)
{
    m_Actor->SetName(VARD::CleanCreatedName(GetTypedName()));
    app->StartCreatedGame(m_Actor);
}
