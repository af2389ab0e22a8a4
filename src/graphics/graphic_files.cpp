#include "graphics/graphic.h"

#include "common/data_file.h"
#include "common/exception.h"
#include "common/tag_file.h"
#include "graphics/fixed_effect.h"
#include "world/effect_params.h"

namespace VARDGraph
{

namespace
{

bool IsModelBlock(const VARDCommon::CTagFileReader& reader)
{
    return reader.IsStartTag("model") || reader.IsStartTag("modelanimation") ||
           reader.IsStartTag("modelanimcolor");
}

// "0" (none), a group of three, or anything else (none, not consumed).
void ReadOptionalScale(VARDCommon::CTagFileReader& reader, CModelInfo& info)
{
    if (!reader.ReadTupleStart(3, true))
        return;
    const float x = static_cast<float>(reader.ReadDouble());
    const float y = static_cast<float>(reader.ReadDouble());
    const float z = static_cast<float>(reader.ReadDouble());
    info.hasScale = 1;
    info.scale = {x, y, z};
}

// The mesh of a sub-model: an "auto" block or a quoted file name, which may
// name another kind as "kind\name". Null for the empty name.
std::shared_ptr<CSubModelInfo> ReadMeshSource(VARDCommon::CTagFileReader& reader,
                                              const ModelReadContext& context)
{
    auto subModel = std::make_shared<CSubModelInfo>();
    subModel->meshKind = context.kind;
    if (reader.IsStartTag("auto"))
    {
        reader.ReadStartTag("auto");
        subModel->generated = true;
        subModel->meshName = reader.ReadString();
        while (!reader.IsAtEndTag())
        {
            const std::string word = reader.IsAtEnd() ? std::string() : reader.GetCurrentWord();
            if (word == "ONE")
            {
                subModel->parameters.push_back(context.column);
                reader.NextToken();
            }
            else if (word == "TWO")
            {
                subModel->parameters.push_back(context.row);
                reader.NextToken();
            }
            else
            {
                subModel->parameters.push_back(reader.ReadUnsigned());
            }
        }
        reader.ReadEndTag();
        return subModel;
    }
    std::string name = reader.ReadQuoted();
    if (name.empty())
        return nullptr;
    try
    {
        VARDCommon::ParseDataFilePath(subModel->meshKind, context.kind, name);
    }
    catch (const CVARDException& e)
    {
        reader.Fail(e.GetCode(),
                    "mesh " + VARDCommon::QuoteForMessage(name) + ": " + e.GetDetail());
    }
    subModel->meshName = name;
    return subModel;
}

// Option words up to the enclosing "model" end tag; unknown words pass.
void ReadSubModelOptions(VARDCommon::CTagFileReader& reader, CSubModelInfo& subModel)
{
    std::uint32_t flags = 0;
    double rate = 0.0;
    while (!reader.IsAtEndTag())
    {
        const std::string word = reader.ReadWord();
        if (word == "flat")
        {
            flags |= kModelFlat;
        }
        else if (word == "movetexture")
        {
            flags |= kModelMoveTexture;
            rate = reader.ReadDouble();
        }
        else if (word == "transparent")
        {
            flags |= kModelTransparent;
        }
        else if (word == "nomultitexture")
        {
            flags |= kModelNoMultiTexture;
        }
    }
    subModel.flags |= flags;
    if (subModel.flags & kModelMoveTexture)
        subModel.textureMotionRate = rate;
}

void ReadTextureNames(VARDCommon::CTagFileReader& reader, CSubModelInfo& subModel)
{
    reader.ReadStartTag("tex");
    while (!reader.IsAtEndTag())
        subModel.textures.push_back({reader.ReadQuoted(), 0, 0.0});
    reader.ReadEndTag();
}

CTextureEntry ReadTextureColor(VARDCommon::CTagFileReader& reader)
{
    CTextureEntry entry;
    reader.ReadColor(entry.colour);
    entry.value = reader.ReadDouble();
    return entry;
}

void ReadTextureColors(VARDCommon::CTagFileReader& reader, CSubModelInfo& subModel)
{
    reader.ReadStartTag("texcolor");
    while (!reader.IsAtEndTag())
        subModel.textures.push_back(ReadTextureColor(reader));
    reader.ReadEndTag();
}

void ReadModelBlock(VARDCommon::CTagFileReader& reader, const ModelReadContext& context,
                    ModelInfoMap& infos)
{
    reader.ReadStartTag("model");
    auto info = GetModelInfo(infos, reader.ReadWord(), context.offHand);
    ReadOptionalScale(reader, *info);
    if (auto subModel = ReadSubModel(reader, context, 0.0))
        info->subModels.push_back(std::move(subModel));
    reader.ReadEndTag();
}

void ReadModelAnimation(VARDCommon::CTagFileReader& reader, const ModelReadContext& context,
                        ModelInfoMap& infos)
{
    reader.ReadStartTag("modelanimation");
    auto info = GetModelInfo(infos, reader.ReadWord(), context.offHand);
    info->period = reader.ReadDouble();
    ReadOptionalScale(reader, *info);
    ModelReadContext frames = context;
    frames.column = 0;
    frames.row = 0;
    do
    {
        const double frameTime = reader.ReadDouble();
        reader.ReadStartTag("model");
        if (auto subModel = ReadSubModel(reader, frames, frameTime))
            info->subModels.push_back(std::move(subModel));
        reader.ReadEndTag();
    } while (!reader.IsAtEndTag());
    reader.ReadEndTag();
}

void ReadModelAnimColor(VARDCommon::CTagFileReader& reader, const ModelReadContext& context,
                        ModelInfoMap& infos)
{
    reader.ReadStartTag("modelanimcolor");
    auto info = GetModelInfo(infos, reader.ReadWord(), context.offHand);
    info->period = reader.ReadDouble();
    ReadOptionalScale(reader, *info);
    ModelReadContext source = context;
    source.column = 0;
    source.row = 0;
    reader.ReadStartTag("model");
    const auto mesh = ReadMeshSource(reader, source);
    CSubModelInfo options;
    ReadSubModelOptions(reader, options);
    reader.ReadEndTag();
    while (!reader.IsAtEndTag())
    {
        const double frameTime = reader.ReadDouble();
        reader.ReadStartTag("texcolor");
        const CTextureEntry entry = ReadTextureColor(reader);
        reader.ReadEndTag();
        // An empty mesh name makes no sub-model, here as in a plain block.
        if (!mesh)
            continue;
        auto frame = std::make_shared<CSubModelInfo>(*mesh);
        frame->frameTime = frameTime;
        frame->flags = options.flags;
        frame->textureMotionRate = options.textureMotionRate;
        frame->textures = {{std::string(), entry.colour, entry.value}};
        info->subModels.push_back(std::move(frame));
    }
    reader.ReadEndTag();
}

} // namespace

// ---------------------------------------------------------------- model blocks

std::shared_ptr<CModelInfo> GetModelInfo(ModelInfoMap& infos, const std::string& pieceName,
                                         int offHand)
{
    std::string name = pieceName;
    if (offHand)
    {
        if (name == "weapon")
            name = "offhand";
        else if (name == "weaponaegis")
            name = "offhandaegis";
    }
    auto& info = infos[name];
    if (!info)
    {
        info = std::make_shared<CModelInfo>();
        info->pieceName = name;
    }
    else
    {
        info->subModels.clear();
    }
    return info;
}

std::uint32_t ReadModelColor(VARDCommon::CTagFileReader& reader, const CGraphicColors* colours)
{
    if (!reader.IsAtEnd() && !reader.GetCurrentWord().empty() &&
        reader.GetCurrentWord().front() == '(')
    {
        std::uint32_t colour = 0;
        reader.ReadColor(colour);
        return colour;
    }
    const std::string key = reader.IsAtEnd() ? std::string() : reader.GetCurrentWord();
    if (key == "0")
    {
        reader.NextToken();
        return 0;
    }
    int slot = 0;
    try
    {
        slot = ColorSlotFromKey(key);
    }
    catch (const CVARDException& e)
    {
        reader.Fail(e.GetCode(), "expected a colour group, 0, HAIR, SKIN or TRIM");
    }
    if (!colours)
        reader.Fail(1, key + " in a graphic drawn without a colour set");
    reader.NextToken();
    return colours->GetColor(slot);
}

std::shared_ptr<CSubModelInfo> ReadSubModel(VARDCommon::CTagFileReader& reader,
                                            const ModelReadContext& context, double frameTime)
{
    auto subModel = ReadMeshSource(reader, context);
    if (!subModel)
        return nullptr;
    subModel->frameTime = frameTime;
    if (reader.IsStartTag("tex"))
        ReadTextureNames(reader, *subModel);
    if (reader.IsStartTag("texcolor"))
        ReadTextureColors(reader, *subModel);
    if (reader.IsStartTag("color"))
    {
        reader.ReadStartTag("color");
        for (std::uint32_t& colour : subModel->colours)
            colour = ReadModelColor(reader, context.colours);
        reader.ReadEndTag();
        subModel->hasColours = 1;
    }
    ReadSubModelOptions(reader, *subModel);
    return subModel;
}

void ReadModels(VARDCommon::CTagFileReader& reader, const ModelReadContext& context,
                ModelInfoMap& infos)
{
    while (!reader.IsAtEndTag() && !reader.IsStartTag("light") && !reader.IsStartTag("effect"))
    {
        if (reader.IsStartTag("model"))
            ReadModelBlock(reader, context, infos);
        else if (reader.IsStartTag("modelanimation"))
            ReadModelAnimation(reader, context, infos);
        else if (reader.IsStartTag("modelanimcolor"))
            ReadModelAnimColor(reader, context, infos);
        else
            reader.Fail(1, "expected a model block");
    }
}

void ReadOverride(VARDCommon::CTagFileReader& reader, const ModelReadContext& context,
                  ModelInfoMap& infos)
{
    reader.ReadStartTag("override");
    reader.ReadWord();
    ReadModels(reader, context, infos);
    reader.ReadEndTag();
}

// ---------------------------------------------------------------- light

CLight::CLight(VARDCommon::CTagFileReader& reader)
{
    constexpr float kPerUnit = 0.00390625f; // 1/256, so 255 stays below 1
    reader.ReadStartTag("light");
    m_Height = reader.ReadDouble();
    if (!reader.IsAtEnd() && reader.GetCurrentWord() == "0")
        reader.NextToken();
    reader.ReadTupleStart(3, false);
    m_Red = static_cast<float>(reader.ReadUnsigned()) * kPerUnit;
    m_Green = static_cast<float>(reader.ReadUnsigned()) * kPerUnit;
    m_Blue = static_cast<float>(reader.ReadUnsigned()) * kPerUnit;
    m_Flicker = reader.IsAtEndTag() ? 0 : reader.ReadUnsigned();
    reader.ReadEndTag();
}

// ---------------------------------------------------------------- graphic

CGraphic::CGraphic(gfx::Device& device, VARDCommon::CDataFileFactory& factory, std::uint32_t kind,
                   const std::string& name, std::uint32_t overrideKind,
                   const std::vector<COverrideEntry>* overrides, FigureCache* cache,
                   const CGraphicColors* colours)
{
    ReadSetup setup;
    setup.kind = kind;
    setup.overrideKind = overrideKind;
    setup.overrides = overrides;
    setup.cache = cache;
    setup.colours = colours;
    Read(device, factory, name, setup);
}

CGraphic::CGraphic(gfx::Device& device, VARDCommon::CDataFileFactory& factory,
                   const std::string& name, bool multigraphic, std::uint32_t column,
                   std::uint32_t row, SharedTextureList* shared)
{
    ReadSetup setup;
    setup.kind = VARDCommon::kDataKindTile;
    setup.overrideKind = VARDCommon::kDataKindTile;
    setup.multigraphic = multigraphic;
    setup.column = column;
    setup.row = row;
    setup.shared = shared;
    Read(device, factory, name, setup);
}

void CGraphic::Read(gfx::Device& device, VARDCommon::CDataFileFactory& factory,
                    const std::string& name, const ReadSetup& setup)
{
    VARDCommon::CTagFileReader reader(factory, setup.kind, VARDCommon::kDataSubKindNone,
                                      name + ".vard");
    if (setup.multigraphic)
    {
        reader.ReadStartTag("multigraphic");
        const std::string word = reader.ReadWord();
        reader.ReadPairStart();
        reader.ReadUnsigned();
        reader.ReadUnsigned();
        m_Name = word + "#" + std::to_string(setup.column) + "#" + std::to_string(setup.row);
    }
    else
    {
        reader.ReadStartTag("graphic");
        m_Name = reader.ReadWord();
    }

    m_FigureName = reader.ReadWord();
    Figure figure = ReadFigure(factory, setup.kind, m_FigureName, setup.cache);
    m_Root = std::move(figure.root);
    m_Poses = std::move(figure.positions);
    m_Animations = std::move(figure.animations);

    if (reader.IsStartTag("animationlengths"))
        ReadAnimationLengths(reader);
    ReadOptions(reader);

    ModelInfoMap infos;
    ModelReadContext context;
    context.kind = setup.kind;
    context.column = setup.column;
    context.row = setup.row;
    context.colours = setup.colours;
    ReadModels(reader, context, infos);
    if (reader.IsStartTag("effect"))
        m_FixedEffect = std::make_shared<CFixedEffect>(factory, device, setup.kind, reader);
    if (reader.IsStartTag("light"))
        m_Light = std::make_shared<CLight>(reader);
    reader.ReadEndTag();

    if (setup.overrides)
    {
        for (const COverrideEntry& entry : *setup.overrides)
        {
            VARDCommon::CTagFileReader item(factory, setup.overrideKind,
                                            VARDCommon::kDataSubKindNone, entry.name + ".vard");
            ModelReadContext overriding = context;
            overriding.kind = setup.overrideKind;
            overriding.column = 0;
            overriding.row = 0;
            overriding.offHand = entry.offHand;
            ReadOverride(item, overriding, infos);
        }
    }

    BuildModels(device, factory, infos, setup.shared);
    FinishTree();
}

void CGraphic::ReadAnimationLengths(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("animationlengths");
    while (!reader.IsAtEndTag())
    {
        if (!reader.IsAtEnd() && reader.GetCurrentWord() == "0")
        {
            reader.NextToken();
            continue;
        }
        reader.ReadTupleStart(2, false);
        const std::string name = reader.ReadWord();
        const double length = reader.ReadDouble();
        const auto found = m_Animations.find(name);
        if (found == m_Animations.end())
            reader.Fail(1, "animation " + VARDCommon::QuoteForMessage(name) + " is not in figure " +
                               VARDCommon::QuoteForMessage(m_FigureName));
        found->second->SetLength(length);
    }
    reader.ReadEndTag();
}

void CGraphic::ReadOptions(VARDCommon::CTagFileReader& reader)
{
    m_Flags = 0;
    while (!IsModelBlock(reader) && !reader.IsStartTag("effect") && !reader.IsAtEndTag())
    {
        const std::string word = reader.IsAtEnd() ? std::string() : reader.GetCurrentWord();
        if (word == "transparent")
            m_Flags |= kGraphicTransparent;
        else if (word == "movevaried")
            m_Flags |= kGraphicMoveVaried;
        else
            reader.Fail(1, "expected transparent, movevaried or a model block");
        reader.NextToken();
    }
}

void CGraphic::BuildModels(gfx::Device& device, VARDCommon::CDataFileFactory& factory,
                           const ModelInfoMap& infos, SharedTextureList* shared)
{
    for (const auto& [pieceName, info] : infos)
    {
        CGraphicTree* piece = m_Root ? m_Root->FindPiece(pieceName) : nullptr;
        if (!piece)
            throw CVARDException(1, "graphic " + VARDCommon::QuoteForMessage(m_Name) + ": figure " +
                                        VARDCommon::QuoteForMessage(m_FigureName) +
                                        " has no piece " + VARDCommon::QuoteForMessage(pieceName));
        for (const auto& subModel : info->subModels)
        {
            const bool moving = (subModel->flags & kModelMoveTexture) != 0;
            piece->AddModel(std::make_shared<CModelNode>(
                device, factory, *subModel, subModel->textures,
                subModel->hasColours ? &subModel->colours : nullptr, subModel->flags, shared,
                subModel->frameTime, moving ? subModel->textureMotionRate : 0.0));
        }
        if (info->hasScale)
            piece->SetScale(info->scale);
        piece->SetPeriod(info->period);
    }
}

namespace
{

bool AnyTransparentModel(const CGraphicTree& piece)
{
    for (const auto& model : piece.GetModels())
        if (model->GetFlags() & kModelTransparent)
            return true;
    for (const auto& child : piece.GetChildren())
        if (AnyTransparentModel(*child))
            return true;
    return false;
}

bool IsEmptyPiece(const CGraphicTree& piece)
{
    return piece.GetChildren().empty() && !piece.HasModels();
}

// Children first, so that a parent whose children all went is judged empty.
void PruneEmptyPieces(CGraphicTree& piece)
{
    auto& children = piece.GetChildren();
    for (const auto& child : children)
        PruneEmptyPieces(*child);
    std::erase_if(children, [](const auto& child) { return IsEmptyPiece(*child); });
}

} // namespace

void CGraphic::FinishTree()
{
    if (!m_Root)
        return;
    m_HasTransparentModels = AnyTransparentModel(*m_Root) ? 1 : 0;
    PruneEmptyPieces(*m_Root);
    if (IsEmptyPiece(*m_Root))
        m_Root.reset();
}

// ---------------------------------------------------------------- tile lists

void LoadTileGraphics(VARDCommon::CDataFileFactory& factory, const std::string& name,
                      gfx::Device& device, std::vector<std::shared_ptr<CGraphic>>& graphics)
{
    const std::string file = name.substr(0, name.find('#'));
    std::uint32_t columns = 1;
    std::uint32_t rows = 1;
    bool multigraphic = false;
    {
        VARDCommon::CTagFileReader reader(factory, VARDCommon::kDataKindTile,
                                          VARDCommon::kDataSubKindNone, file + ".vard");
        if (reader.IsStartTag("multigraphic"))
        {
            multigraphic = true;
            reader.ReadStartTag("multigraphic");
            reader.ReadWord();
            if (!reader.ReadPairStart())
                reader.Fail(1, "expected the group of columns and rows");
            columns = reader.ReadUnsigned();
            rows = reader.ReadUnsigned();
        }
        else if (!reader.IsStartTag("graphic"))
        {
            reader.Fail(1, "expected <graphic> or <multigraphic>");
        }
    }
    SharedTextureList shared;
    for (std::uint32_t row = 0; row < rows; ++row)
        for (std::uint32_t column = 0; column < columns; ++column)
            graphics.push_back(std::make_shared<CGraphic>(device, factory, file, multigraphic,
                                                          column, row,
                                                          multigraphic ? &shared : nullptr));
}

} // namespace VARDGraph
