// Pages of the character sheet drawn on Mesa's software OpenGL with no
// display: the information page's panel darkens what lies below it, and the
// highlighted "Spend Level Points" button and the action bar show; every
// equipment box of the inventory page sits on its part of the paper doll.
// The store's hover titles measured with the font they are drawn in. The
// demo's containers show their whole names over the inventory page's narrow
// list; names of 100,000 bytes stay inside the page of the journal and of
// the store.

#include "app_demo_game.h"
#include "builtin_images.h"
#include "image_diff.h"

#include "dialogs/actor_info_dlg.h"
#include "dialogs/actor_inv_dlg.h"
#include "dialogs/actor_journal_dlg.h"
#include "dialogs/game_dialog_factory.h"
#include "dialogs/store_dlg.h"
#include "platform/gl_context.h"
#include "platform/image.h"
#include "rules/engine.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_game_test_util.h"
#include "ui/ui_group.h"
#include "ui/ui_hover_text.h"
#include "ui/ui_hover_window.h"
#include "ui/ui_lists.h"
#include "ui/ui_manager.h"
#include "ui/ui_text.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/object.h"
#include "world/thing.h"
#include "world/world_object.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <vector>

namespace
{

constexpr std::uint32_t kWidth = 864;
constexpr std::uint32_t kHeight = 720;

int Brightness(const gfx::Image& image, std::int32_t x, std::int32_t y)
{
    const std::uint8_t* p =
        image.Pixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
    return p[0] + p[1] + p[2];
}

// Pixels of the rows top..bottom where the two frames differ, leaving out
// the columns skipped.
int Differing(const gfx::Image& a, const gfx::Image& b, std::int32_t top, std::int32_t bottom,
              std::initializer_list<TestUtil::Columns> skipped)
{
    return TestUtil::DiffImages(a, b, {0, top, static_cast<std::int32_t>(kWidth), bottom}, skipped)
        .differing;
}

// A new game of the demo with its hero, and a device to draw a page on.
class SheetDraw : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
        app.dialogFactory = std::make_unique<CGameDialogFactory>();
        ASSERT_NO_FATAL_FAILURE(AppTest::StartDemoGame(app, machine));
        app.RefreshActorInfos(true);
        hero = app.engine->Game().GetParty().at(0);
        context = platform::GlContext::CreateHidden(kWidth, kHeight);
        device = std::make_unique<gfx::Device>(*context, kWidth, kHeight);
    }

    void TearDown() override
    {
        ui.reset();
        device.reset();
        context.reset();
    }

    // The page's widgets drawn over a ground of the colour; VARD_SHEET_SHOT
    // names a file to keep the frame in.
    gfx::Image Draw(CVARDDlg& page, std::uint32_t ground)
    {
        ui = std::make_unique<VARDUI::CUIManager>();
        const gfx::Rect client{0, 0, static_cast<std::int32_t>(kWidth),
                               static_cast<std::int32_t>(kHeight)};
        page.BuildUI(&client, ui.get());
        ui->CreateResources(*device);
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, ground, 1.0f);
        ui->Draw(*device, nullptr);
        gfx::Image frame = device->ReadPixels();
        if (const char* out = std::getenv("VARD_SHEET_SHOT"))
        {
            const auto png = gfx::EncodePng(frame);
            std::ofstream(out, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()),
                       static_cast<std::streamsize>(png.size()));
        }
        return frame;
    }

    // One element of the current tree drawn alone on black.
    gfx::Image DrawAlone(VARDUI::CUIElement& element)
    {
        VARDUI::CUIDrawHelp& help = *ui->GetDrawHelp();
        element.LoadTextures(*device, &help);
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        gfx::Sprite sprite(*device);
        sprite.Begin(gfx::kSpriteAlphaBlend);
        element.Draw(*device, &help, &sprite, nullptr);
        sprite.End();
        return device->ReadPixels();
    }

    // Text alone on black, as the font draws it in rect.
    gfx::Image DrawTextAlone(const std::string& text, VARDUI::Rect rect, std::uint32_t format,
                             std::uint32_t colour)
    {
        VARDUI::CUIDrawHelp& help = *ui->GetDrawHelp();
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        gfx::Sprite sprite(*device);
        sprite.Begin(gfx::kSpriteAlphaBlend);
        help.ResetTransform(&sprite);
        VARDUI::CUIDrawHelp::DrawText(help.GetFont(), &sprite, text, rect, format, colour);
        sprite.End();
        return device->ReadPixels();
    }

    AppTest::FakeAppPlatform machine;
    CGameApp app;
    std::shared_ptr<VARD::CActor> hero;
    std::unique_ptr<platform::GlContext> context;
    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<VARDUI::CUIManager> ui;
};

TEST_F(SheetDraw, ThePanelTheHighlightedButtonAndTheActionBarShow)
{
    hero->SetAttributePoints(1);
    CActorInfoDlg page(&app, hero);
    // A light grey ground, so the panel's translucent black shows.
    const gfx::Image frame = Draw(page, 0xFFC0C0C0u);
    // The panel: 800 x 656 centred, so from (32, 32).
    const std::int32_t left = 32;
    const std::int32_t top = 32;
    EXPECT_EQ(Brightness(frame, 8, 8), 3 * 0xC0);
    const int panel = Brightness(frame, left + 400, top + 120);
    EXPECT_LT(panel, 3 * 0xC0 / 2);
    // The "Spend Level Points" button (448, 320) in the page at (16, 144)
    // and the action bar at (688, 400) differ from the bare panel.
    int buttonDiffers = 0;
    for (std::int32_t x = left + 16 + 448; x < left + 16 + 656; x += 4)
        buttonDiffers += Brightness(frame, x, top + 144 + 320 + 16) != panel;
    EXPECT_GT(buttonDiffers, 10);
    // Its frame is drawn highlighted: green over the grey of the others.
    int green = 0;
    for (std::int32_t y = top + 144 + 318; y < top + 144 + 323; ++y)
        for (std::int32_t x = left + 16 + 460; x < left + 16 + 640; x += 8)
        {
            const std::uint8_t* p =
                frame.Pixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
            green += p[1] > p[0] + 60;
        }
    EXPECT_GT(green, 10);
    int slotsDiffer = 0;
    for (std::int32_t y = top + 400; y < top + 640; y += 4)
        slotsDiffer += Brightness(frame, left + 688 + 24, y) != panel;
    EXPECT_GT(slotsDiffer, 10);
}

// Each box lies on the point of the doll where its item goes and on no
// other, and the doll is drawn there, seen through the empty box.
TEST_F(SheetDraw, EveryEquipmentBoxSitsOnTheDollPartThatTakesIt)
{
    for (std::uint32_t slot = 0; slot < CActorInvDlg::kSlotCount; ++slot)
        hero->SetEquipmentSlot(slot, nullptr);
    CActorInvDlg page(&app, hero);
    const gfx::Image frame = Draw(page, 0xFF000000u);
    gfx::Rect doll{};
    std::vector<gfx::Rect> boxes(CActorInvDlg::kSlotCount);
    for (const auto& element : ui->GetElements())
    {
        if (const auto* image = dynamic_cast<const VARDUI::CUIImageBackground*>(element.get()))
            if (image->GetImage() == BuiltInImages::kPaperDollImage)
                doll = image->GetRect();
        const std::size_t slot =
            static_cast<std::size_t>(element->GetId() - CActorInvDlg::kFirstEquipId);
        if (slot < boxes.size())
            boxes[slot] = element->GetRect();
    }
    ASSERT_EQ(doll.Width(), 208) << "the doll is on the page";
    const auto parts = BuiltInImages::PaperDollParts();
    ASSERT_EQ(parts.size(), boxes.size());
    for (std::size_t s = 0; s < boxes.size(); ++s)
    {
        ASSERT_EQ(boxes[s].Width(), 48) << s;
        for (std::size_t p = 0; p < parts.size(); ++p)
        {
            const double x = doll.left + parts[p].x, y = doll.top + parts[p].y;
            EXPECT_EQ(x >= boxes[s].left && x < boxes[s].right && y >= boxes[s].top &&
                          y < boxes[s].bottom,
                      p == s)
                << "box of slot " << s << ", " << parts[p].name;
        }
        EXPECT_GT(Brightness(frame, doll.left + static_cast<std::int32_t>(parts[s].x),
                             doll.top + static_cast<std::int32_t>(parts[s].y)),
                  3 * 40)
            << parts[s].name;
    }
}

// Each container of the demo in reach of the hero: the inventory page titles
// its narrow list with the container's name, which runs past the list as it
// needs, whole, centred on the list as the font centres it.
TEST_F(SheetDraw, TheDemoContainersShowTheirWholeNamesOnTheInventoryPage)
{
    VARD::CArea& area = *app.engine->Game().GetCurrentArea();
    for (const auto& object : area.GetObjects())
        if (object->GetFlag())
            object->SetPosition(1000.0, 1000.0);
    std::size_t containers = 0, widerThanTheList = 0;
    for (const auto& [key, definition] : app.engine->Module().GetObjectTemplates())
    {
        if (!definition->GetFlag())
            continue;
        ++containers;
        auto object = std::make_shared<VARD::CObject>(
            &area, app.engine->Game().NewThingId(VARD::kThingKindObject), "", *definition);
        object->SetFacing(0);
        object->SetPosition(hero->GetX() + object->GetSizeX() / 2.0, hero->GetY());
        area.AddObject(object);
        CActorInvDlg page(&app, hero);
        Draw(page, 0xFF000000u);
        ASSERT_EQ(page.GetContainerInReach(), object.get()) << key;
        VARDUI::CUIItemsListWindow& list = *page.GetContainerList();
        const std::string& name = definition->GetText();
        EXPECT_EQ(list.GetTitle(), name);
        const gfx::Rect rect = list.GetRect();
        const gfx::Rect titleArea{rect.left, rect.top, rect.right, rect.top + 16};
        const gfx::Image drawn = DrawAlone(list);
        const gfx::Image whole = DrawTextAlone(name, titleArea,
                                               gfx::kTextCenter | gfx::kTextVCenter |
                                                   gfx::kTextSingleLine | gfx::kTextNoClip,
                                               0xFFFFFFFFu);
        // The list's frame crosses the title's line at its two sides alone.
        EXPECT_EQ(Differing(drawn, whole, titleArea.top, titleArea.bottom,
                            {{rect.left - 1, rect.left}, {rect.right, rect.right + 1}}),
                  0)
            << name;
        VARDUI::Rect measured{0, 0, 1000, 0};
        VARDUI::CUIDrawHelp::DrawText(ui->GetDrawHelp()->GetFont(), nullptr, name, measured,
                                      VARDUI::kUITextMeasure, 0);
        widerThanTheList += measured.Width() > rect.Width();
        area.RemoveObject(object.get());
    }
    // The chests, the traveller's pack and the pile of items among them,
    // most of them wider than the list.
    EXPECT_GE(containers, 4u);
    EXPECT_GE(widerThanTheList, 3u);
}

// A hover title wider than the room beside the item's icon would run over
// it: every ware of the demo's stores, "Name (N gold)", fits whole beside
// the icon, measured with the font the window draws it in.
TEST_F(SheetDraw, EveryWareOfTheDemoTownFitsBesideItsIconInTheHoverTitle)
{
    VARDUI::CUIDrawHelp help(*device);
    const VARDUI::CUIHoverWindow hover;
    // The icon takes the window's first 32 pixels and one more apart.
    const std::int32_t titleWidth = hover.GetRect().Width() - 33;
    std::size_t wares = 0;
    for (const auto& keeper : app.engine->Game().GetCurrentArea()->Actors())
        for (const auto& ware : keeper->CollectTradeItems())
        {
            ++wares;
            VARDUI::CUIHoverInfo record;
            VARDUI::FillPricedItemHoverInfo(*ware, ware->GetTemplate()->GetValue(), record);
            ASSERT_NE(record.icon, 0u) << record.title;
            VARDUI::Rect measured{0, 0, 1000, 0};
            VARDUI::CUIDrawHelp::DrawText(help.GetFont(), nullptr, record.title, measured,
                                          VARDUI::kUITextMeasure, 0);
            EXPECT_LE(measured.Width(), titleWidth) << record.title;
        }
    // The merchant's and the armourer's, the potions among them.
    EXPECT_GT(wares, 12u);
}

// Every text the journal page and the store draw from a name, with names of
// 100,000 bytes: each widget drawn alone leaves no ink outside its page,
// nor outside its own frame where it wraps its text. A name runs past its
// widget from the page's left edge, where its start shows, to the page's
// right edge, where it is cut: on either side of the widget its line is the
// name drawn from the one edge and cut at the other. One long word and as
// many bytes of words, since they are cut and wrapped by different steps;
// each begins unlike its middle, so that a centred one would not pass.
TEST_F(SheetDraw, HundredThousandByteNamesStayInsideTheirPages)
{
    const std::string word = "Long" + std::string(100000 - 4, 'W');
    std::string words = "First ";
    while (words.size() < 100000)
        words += "Wide words ";
    VARD::CGame& game = app.engine->Game();
    hero->SetName(word);
    game.UpdateJournal(word, words);
    game.UpdateJournal(words, word);
    auto person = std::make_shared<VARD::CPeopleJournalEntry>();
    person->key = "someone";
    person->displayName = word;
    person->text = words;
    person->lines = {word, words};
    game.People()[person->key] = person;
    app.LogMessage("The trade cannot be made: " + word + " is not here.");

    struct Case
    {
        std::string what;
        VARDUI::CUIElement* element;
        // A widget that wraps its text keeps it inside its frame; ink below
        // this fraction of its height, between the outline and the scroll
        // bar, shows the text wrapped.
        double wrappedBelow = 0;
        // The name a widget runs out on its line, that far below its top, in
        // colour.
        std::string name = {};
        std::int32_t lineBelowTop = 0;
        std::uint32_t colour = 0xFFFFFFFFu;
        // What holds the name instead of the page: its place in the window
        // it floats in.
        std::optional<gfx::Rect> bound = {};
    };
    const auto check = [&](const std::vector<Case>& cases)
    {
        ASSERT_NE(ui->GetPage(), nullptr);
        const gfx::Rect page = ui->GetPage()->GetRect();
        for (const Case& c : cases)
        {
            ASSERT_NE(c.element, nullptr) << c.what;
            const gfx::Rect rect = c.element->GetRect();
            const gfx::Rect holder = c.bound ? *c.bound : page;
            // A window keeps all it draws inside its frame, two pixels out.
            const gfx::Rect allowed = c.wrappedBelow > 0
                                          ? rect
                                          : (c.bound ? gfx::Rect{rect.left - 2, rect.top - 2,
                                                                 rect.right + 2, rect.bottom + 2}
                                                     : page);
            const gfx::Image frame = DrawAlone(*c.element);
            int outside = 0, inside = 0, wrapped = 0;
            const auto wrapTop =
                rect.top + static_cast<std::int32_t>(c.wrappedBelow * rect.Height());
            for (std::int32_t y = 0; y < static_cast<std::int32_t>(kHeight); ++y)
                for (std::int32_t x = 0; x < static_cast<std::int32_t>(kWidth); ++x)
                {
                    if (Brightness(frame, x, y) < 3 * 128)
                        continue;
                    const bool in = x >= allowed.left && x < allowed.right && y >= allowed.top &&
                                    y < allowed.bottom;
                    outside += !in;
                    inside += in;
                    wrapped += y >= wrapTop && y < rect.bottom - 2 && x >= rect.left + 2 &&
                               x < rect.right - 26;
                }
            EXPECT_EQ(outside, 0) << c.what;
            EXPECT_GT(inside, 100) << c.what;
            if (c.wrappedBelow > 0)
            {
                EXPECT_GT(wrapped, 100) << c.what;
            }
            if (c.name.empty())
                continue;
            const std::int32_t lineTop = rect.top + c.lineBelowTop;
            const gfx::Image line =
                DrawTextAlone(c.name, {holder.left, lineTop, holder.right, lineTop + 16},
                              gfx::kTextSingleLine, c.colour);
            // The frame a highlight or the hover window draws around the
            // widget is left out.
            EXPECT_EQ(
                Differing(frame, line, lineTop, lineTop + 16, {{rect.left - 3, rect.right + 3}}), 0)
                << c.what;
        }
    };
    // The page's last widget of that kind.
    const auto last = [&]<class Widget>(Widget*)
    {
        Widget* found = nullptr;
        for (const auto& element : ui->GetElements())
            if (auto* widget = dynamic_cast<Widget*>(element.get()))
                found = widget;
        return found;
    };
    const auto textOf = [&] { return last(static_cast<VARDUI::CUITextElement*>(nullptr)); };

    CActorJournalDlg journal(&app, hero);
    Draw(journal, 0xFF000000u);
    const auto& list = journal.GetList();
    ASSERT_EQ(list->GetSectionElements(0).size(), 3u);
    // A row's caption is centred down it.
    const std::int32_t rowLine = (list->GetSectionElements(0)[0]->GetRect().Height() - 16) / 2;
    check({{"the list of quests", list.get()},
           {"a quest's row", list->GetSectionElements(0)[1].get(), 0, word, rowLine},
           {"a quest named by words", list->GetSectionElements(0)[2].get(), 0, words, rowLine},
           {"the text of every quest", textOf(), 0.6},
           {"the messages under the page", last(static_cast<VARDUI::CUIMessageWindow*>(nullptr)),
            0.5}});
    journal.OnButton(CActorJournalDlg::kPeopleTabId);
    list->GetSectionElements(0)[0]->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    journal.OnButton(CActorJournalDlg::kFirstRowId);
    ASSERT_EQ(journal.GetShownText().rfind(word + " LINE LINE ", 0), 0u);
    // The list, drawn first, places its new rows.
    check({{"the list of people", list.get()},
           {"a person's row", list->GetSectionElements(0)[0].get(), 0, word, rowLine},
           {"what is known of a person", textOf(), 0.6}});

    // The hero carries a ware of a long name into a store of the town.
    VARD::CActor* keeper = nullptr;
    for (const auto& actor : game.GetCurrentArea()->Actors())
        if (!actor->CollectTradeItems().empty())
            keeper = actor.get();
    ASSERT_NE(keeper, nullptr);
    const auto ware =
        UIGameTest::AddItemTemplate(*app.engine->GetModule(), "long_named_ware", word, 5, "misc");
    hero->AddBackpackItem(UIGameTest::MakeItem(*ware, 900001, 1));
    CStoreDlg store(&app, hero.get(), keeper);
    Draw(store, 0xFF000000u);
    VARDUI::CUIItemsListWindow* backpack = nullptr;
    VARDUI::CUIHoverWindow* hover = nullptr;
    for (const auto& element : ui->GetElements())
    {
        if (element->GetId() == CStoreDlg::kBackpackId)
            backpack = dynamic_cast<VARDUI::CUIItemsListWindow*>(element.get());
        if (auto* window = dynamic_cast<VARDUI::CUIHoverWindow*>(element.get()))
            hover = window;
    }
    ASSERT_NE(backpack, nullptr);
    ASSERT_NE(hover, nullptr);
    EXPECT_EQ(backpack->GetTitle(), word);
    const std::size_t wareAt = backpack->GetItems().size() - 1;
    for (std::size_t s = 0; s < backpack->GetSectionCount(); ++s)
        for (const auto& token : backpack->GetSectionElements(s))
            if (token->GetId() == CStoreDlg::kBackpackRowBase + static_cast<int>(wareAt))
                token->FillHoverWindow(hover);
    ASSERT_EQ(hover->GetInfo().title.rfind(word, 0), 0u);
    backpack->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    check(
        {{"the backpack under the hero's name", backpack, 0, word},
         {"a ware's hover title", hover, 0, hover->GetInfo().title, 0, hover->GetInfo().titleColour,
          gfx::Rect{hover->GetRect().left + 33, hover->GetRect().top, hover->GetRect().right,
                    hover->GetRect().bottom}}});
}

} // namespace
