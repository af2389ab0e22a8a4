#pragma once

#include "graphics/figure.h"
#include "graphics/graphic_tree.h"
#include "graphics/model_node.h"
#include "graphics/pose.h"
#include "graphics/sub_model_info.h"
#include "platform/device.h"
#include "platform/matrix_stack.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace VARDCommon
{
class CDataFileFactory;
class CTagFileReader;
} // namespace VARDCommon

namespace VARDGraph
{

class CFixedEffect;
class CGraphicColors;

enum : std::uint32_t
{
    kGraphicTransparent = 1, // drawn in the scene's second object pass
    kGraphicMoveVaried = 2,  // animated with a time offset of its own
};

// The point light a graphic carries.
class CLight
{
public:
    // The reader stands on the "light" start tag; it is left after the end tag.
    explicit CLight(VARDCommon::CTagFileReader& reader);

    double GetHeight() const { return m_Height; }
    float GetRed() const { return m_Red; }
    float GetGreen() const { return m_Green; }
    float GetBlue() const { return m_Blue; }
    std::uint32_t GetFlicker() const { return m_Flicker; }

private:
    double m_Height = 0.0;
    float m_Red = 0.0f;
    float m_Green = 0.0f;
    float m_Blue = 0.0f;
    std::uint32_t m_Flicker = 0;
};

// The model blocks of one piece while a description is read.
struct CModelInfo
{
    std::string pieceName;
    double period = 1.0;
    int hasScale = 0;
    gfx::Vec3 scale{1.0f, 1.0f, 1.0f};
    std::vector<std::shared_ptr<CSubModelInfo>> subModels;
};

// Model infos by piece name, in byte-wise name order.
using ModelInfoMap = std::map<std::string, std::shared_ptr<CModelInfo>>;

// One item an actor wears or holds: the item's graphic name, and whether it
// is held in the off hand.
struct COverrideEntry
{
    std::string name;
    int offHand = 0;
};

// Where a reading of model blocks stands: the kind its meshes start from,
// the multigraphic piece, the off-hand renaming and the colour set.
struct ModelReadContext
{
    std::uint32_t kind = 0;
    std::uint32_t column = 0;
    std::uint32_t row = 0;
    int offHand = 0;
    const CGraphicColors* colours = nullptr;
};

// The model info of a piece, renamed to the off hand when asked; an existing
// one loses its sub-models, since a later block replaces the meshes.
std::shared_ptr<CModelInfo> GetModelInfo(ModelInfoMap& infos, const std::string& pieceName,
                                         int offHand);
// Blocks "model", "modelanimation" and "modelanimcolor" up to the end tag or
// a "light" or "effect" start tag; any other token is code 1.
void ReadModels(VARDCommon::CTagFileReader& reader, const ModelReadContext& context,
                ModelInfoMap& infos);
// A mesh source, then its texture and colour blocks and option words up to
// the end tag of the enclosing "model"; null for an empty mesh name.
std::shared_ptr<CSubModelInfo> ReadSubModel(VARDCommon::CTagFileReader& reader,
                                            const ModelReadContext& context, double frameTime);
// A whole "override" file body, tags included.
void ReadOverride(VARDCommon::CTagFileReader& reader, const ModelReadContext& context,
                  ModelInfoMap& infos);
// One colour of a "color" block: a group of three, "0", or HAIR, SKIN, TRIM.
std::uint32_t ReadModelColor(VARDCommon::CTagFileReader& reader, const CGraphicColors* colours);

// A drawable thing of the scene: a figure with meshes hung on its pieces,
// drawing options, and maybe a particle effect and a light.
class CGraphic
{
public:
    // Reads (kind, name + ".vard"), then one override file per entry
    // (overrideKind, entry + ".vard") merged into it. overrides, cache and
    // colours may be null.
    CGraphic(gfx::Device& device, VARDCommon::CDataFileFactory& factory, std::uint32_t kind,
             const std::string& name, std::uint32_t overrideKind,
             const std::vector<COverrideEntry>* overrides, FigureCache* cache,
             const CGraphicColors* colours);
    // One piece of a tile file (kind "tile"): with multigraphic set, the
    // piece at (column, row) of a "multigraphic", sharing textures through
    // shared (may be null); else the file's single "graphic".
    CGraphic(gfx::Device& device, VARDCommon::CDataFileFactory& factory, const std::string& name,
             bool multigraphic, std::uint32_t column, std::uint32_t row, SharedTextureList* shared);

    // Draws every piece posed by the animation or position of that name;
    // code 2 when the figure has neither.
    void Draw(gfx::Device& device, const gfx::Matrix& world, const std::string& poseName,
              double poseTime, double modelTime) const;

    // A graphic that, drawn with the pose at pose time 0 and the model time,
    // paints the unit square about its origin on a level plane in one
    // colour, unlit: one piece posed by a shift along y alone, whose model
    // drawn at that time is a single-material quad filling the square, seen
    // from above, untextured or with a texture of one texel. Gives the
    // colour (0xAARRGGBB; an alpha below 255 is blended over what lies
    // under) and the plane's height; false for any other graphic, or when no
    // model is drawn at that time.
    bool GetFlatFill(const std::string& poseName, double modelTime, std::uint32_t& colour,
                     float& height) const;

    // The n-th piece (pre-order, from 0) holding exactly one model node, with
    // its transform under "default" left on the stack's top; false when there
    // are not that many.
    static bool GetStaticModel(const CGraphic& graphic, int n, gfx::MatrixStack& stack,
                               std::shared_ptr<CModelNode>& node);

    const std::string& GetName() const { return m_Name; }
    const std::string& GetFigureName() const { return m_FigureName; }
    std::uint32_t GetFlags() const { return m_Flags; }
    int HasTransparentModels() const { return m_HasTransparentModels; }
    const std::shared_ptr<CGraphicTree>& GetRoot() const { return m_Root; }
    const std::shared_ptr<CPositionMap>& GetPoses() const { return m_Poses; }
    const AnimationMap& GetAnimations() const { return m_Animations; }
    const std::shared_ptr<CLight>& GetLight() const { return m_Light; }
    const std::shared_ptr<CFixedEffect>& GetFixedEffect() const { return m_FixedEffect; }

private:
    struct ReadSetup
    {
        std::uint32_t kind = 0;
        std::uint32_t overrideKind = 0;
        const std::vector<COverrideEntry>* overrides = nullptr;
        FigureCache* cache = nullptr;
        const CGraphicColors* colours = nullptr;
        bool multigraphic = false;
        std::uint32_t column = 0;
        std::uint32_t row = 0;
        SharedTextureList* shared = nullptr;
    };

    void Read(gfx::Device& device, VARDCommon::CDataFileFactory& factory, const std::string& name,
              const ReadSetup& setup);
    void ReadAnimationLengths(VARDCommon::CTagFileReader& reader);
    void ReadOptions(VARDCommon::CTagFileReader& reader);
    void BuildModels(gfx::Device& device, VARDCommon::CDataFileFactory& factory,
                     const ModelInfoMap& infos, SharedTextureList* shared);
    void FinishTree();

    std::string m_Name;
    std::string m_FigureName;
    std::uint32_t m_Flags = 0;
    int m_HasTransparentModels = 0;
    std::shared_ptr<CGraphicTree> m_Root;
    std::shared_ptr<CPositionMap> m_Poses;
    AnimationMap m_Animations;
    std::shared_ptr<CLight> m_Light;
    std::shared_ptr<CFixedEffect> m_FixedEffect;
};

// Every graphic of a tile description, appended to graphics: the one of a
// "graphic" file, or each piece of a "multigraphic" row by row. The name may
// carry a piece suffix ("#column#row"), which names the same file.
void LoadTileGraphics(VARDCommon::CDataFileFactory& factory, const std::string& name,
                      gfx::Device& device, std::vector<std::shared_ptr<CGraphic>>& graphics);

} // namespace VARDGraph
