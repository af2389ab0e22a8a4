#include "graphics/figure.h"

#include "common/data_file.h"
#include "test_util.h"

#include <filesystem>
#include <fstream>

using TestUtil::CodeOf;
using VARDGraph::FigureCache;
using VARDGraph::ReadFigure;

namespace
{

// A module folder of its own with figure files of the actor kind.
class FigureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = TestUtil::ScratchPath("figures");
        std::filesystem::create_directories(root / "actor" / "fig");
        factory = std::make_unique<VARDCommon::CDataFileFactoryPath>(root);
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    void Write(const std::string& name, const std::string& text)
    {
        std::ofstream(root / "actor" / "fig" / (name + ".vard")) << text;
    }

    VARDGraph::Figure Read(const std::string& name, FigureCache* cache = nullptr)
    {
        return ReadFigure(*factory, VARDCommon::kDataKindActor, name, cache);
    }

    std::filesystem::path root;
    std::unique_ptr<VARDCommon::CDataFileFactoryPath> factory;
};

const char* kBiped = R"(# a small biped
<figure> biped
 <piece> anchor </piece>
 <piece> body anchor </piece>
 <piece> arm body </piece>
 <piece> hand arm </piece>
 <piece> leg body </piece>
 <piece> hand leg </piece>
 <position> stand anchor 0 0 body (0 2 0) 0 arm (1 0 0) 0 hand 0 0 leg 0 0 </position>
 <position> step anchor 0 0 body (0 2 0) 0 arm (1 0 0) <rot> (1 0 0 30) 0 </rot> hand 0 0 leg 0 0 </position>
 <animation> walk 0.0 stand 0.5 step 1.0 stand </animation>
 <animation> idle 0 stand 1 stand </animation>
</figure>
)";

} // namespace

TEST_F(FigureTest, PiecesPositionsAndAnimations)
{
    Write("biped", kBiped);
    const VARDGraph::Figure figure = Read("biped");
    ASSERT_TRUE(figure.root);
    EXPECT_EQ(figure.root->GetName(), "anchor");
    ASSERT_EQ(figure.root->GetChildren().size(), 1u);
    const auto& body = figure.root->GetChildren()[0];
    EXPECT_EQ(body->GetParentName(), "anchor");
    ASSERT_EQ(body->GetChildren().size(), 2u);
    EXPECT_EQ(body->GetChildren()[0]->GetName(), "arm");
    EXPECT_EQ(body->GetChildren()[1]->GetName(), "leg");
    // Depth first: the hand under the arm is found before the one under the leg.
    EXPECT_EQ(figure.root->FindPiece("hand"), body->GetChildren()[0]->GetChildren()[0].get());
    EXPECT_EQ(figure.root->FindPiece("Hand"), nullptr);
    EXPECT_EQ(figure.root->FindPiece("anchor"), figure.root.get());
    EXPECT_EQ(figure.root->GetPeriod(), 1.0);
    EXPECT_EQ(figure.root->HasModels(), 0);

    ASSERT_EQ(figure.positions->size(), 2u);
    EXPECT_EQ(figure.positions->at("step")->GetNodes().size(), 5u);
    ASSERT_EQ(figure.animations.size(), 2u);
    const auto& walk = *figure.animations.at("walk");
    EXPECT_EQ(walk.GetLength(), 1.0);
    EXPECT_EQ(walk.GetKeyPositions()[1], figure.positions->at("step"));
}

TEST_F(FigureTest, DefaultFigureNeedsNoFile)
{
    FigureCache cache;
    const VARDGraph::Figure figure = Read("0", &cache);
    EXPECT_TRUE(cache.empty());
    ASSERT_TRUE(figure.root);
    EXPECT_EQ(figure.root->GetName(), "anchor");
    EXPECT_TRUE(figure.root->GetChildren().empty());
    ASSERT_EQ(figure.positions->size(), 1u);
    gfx::MatrixStack stack;
    figure.positions->at("default")->Apply("anchor", stack, nullptr, 0.0);
    EXPECT_EQ(stack.Top(), gfx::Matrix::Identity());
    EXPECT_TRUE(figure.animations.empty());
}

TEST_F(FigureTest, CacheSharesTheFirstFilesPositions)
{
    Write("biped", kBiped);
    FigureCache cache;
    const VARDGraph::Figure first = Read("biped", &cache);
    ASSERT_EQ(cache.count("biped"), 1u);
    EXPECT_EQ(cache.at("biped"), first.positions);

    // Same figure name, other positions in the file: the cached ones win,
    // and the animations are read again against them.
    std::string other = kBiped;
    other.replace(other.find("arm (1 0 0) <rot>"), 11, "arm (5 0 0)");
    Write("biped", other);
    const VARDGraph::Figure second = Read("biped", &cache);
    EXPECT_EQ(second.positions, first.positions);
    EXPECT_EQ(second.positions->at("step")->GetNode("arm").GetTranslation().x, 1.0f);
    EXPECT_NE(second.animations.at("walk"), first.animations.at("walk"));
    EXPECT_EQ(second.animations.at("walk")->GetKeyPositions()[1], first.positions->at("step"));
    EXPECT_EQ(Read("biped").positions->at("step")->GetNode("arm").GetTranslation().x, 5.0f);
}

TEST_F(FigureTest, LaterAnchorReplacesTheRoot)
{
    Write("two", "<figure> two <piece> anchor </piece> <piece> a anchor </piece>"
                 " <piece> anchor </piece> <piece> b anchor </piece> </figure>");
    const VARDGraph::Figure figure = Read("two");
    ASSERT_EQ(figure.root->GetChildren().size(), 1u);
    EXPECT_EQ(figure.root->GetChildren()[0]->GetName(), "b");
    EXPECT_TRUE(figure.positions->empty());
}

TEST_F(FigureTest, Faults)
{
    const char* bad[] = {
        "<figure> other </figure>",
        "<figure> bad <piece> body anchor </piece> </figure>",
        "<figure> bad <piece> anchor </piece> <piece> arm body </piece> </figure>",
        // One element in two lines: the parentheses say so to the compiler.
        ("<figure> bad <piece> anchor </piece> <position> p anchor 0 0 </position>"
         " <piece> arm anchor </piece> </figure>"),
        "<figure> bad <animation> a 0 p 1 p </animation> </figure>",
        "<figure> bad <piece> anchor </piece>",
        "<figure> bad <position> p anchor (1 2) </position> </figure>",
        "<graphic> bad </graphic>",
    };
    for (const char* text : bad)
    {
        Write("bad", text);
        EXPECT_EQ(CodeOf([&] { Read("bad"); }), 1) << text;
    }
    EXPECT_EQ(CodeOf([&] { Read("missing"); }), 1);
}
