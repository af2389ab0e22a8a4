#pragma once

#include "common/data_file.h"
#include "dialogs/help_text.h"
#include "test_util.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/spell.h"

#include <functional>
#include <memory>
#include <sstream>
#include <string>

// Helpers of the help text tests: the demo module, spells and items read from
// text, and the text a writer leaves in a fresh stream.
namespace HelpTest
{

using TestUtil::CodeOf;
using TestUtil::ReaderOf;

// The form of the texts the dialogs show.
constexpr int kDialog = kHelpFormDialog;

// Read once for the whole run; never changed.
inline const VARD::CModule& DemoModule()
{
    static const std::shared_ptr<VARD::CModule> module = []
    {
        auto loaded = std::make_shared<VARD::CModule>();
        loaded->Load(std::make_shared<VARDCommon::CDataFileFactoryPath>(VARD_DEMO_MODULE));
        return loaded;
    }();
    return *module;
}

inline std::string TextOf(const std::function<void(std::ostream&)>& write)
{
    std::ostringstream out;
    write(out);
    return out.str();
}

// One <spell> record, added to the module under its key.
inline const VARD::CSpell& AddSpell(VARD::CModule& module, const std::string& text)
{
    auto reader = ReaderOf(text);
    auto spell = std::make_shared<VARD::CSpell>(reader);
    module.Spells()[spell->GetKey()] = spell;
    return *spell;
}

// The words between <item> and </item>, added to the module under its key.
inline const VARD::CItemTemplate& AddItemTemplate(VARD::CModule& module, const std::string& body)
{
    auto reader = ReaderOf("<item> " + body + " </item>");
    reader.ReadStartTag("item");
    auto itemTemplate = std::make_shared<VARD::CItemTemplate>(reader, module);
    reader.ReadEndTag();
    module.ItemTemplates()[itemTemplate->GetName()] = itemTemplate;
    return *itemTemplate;
}

} // namespace HelpTest
