#include "common/exception.h"

#include <algorithm>

std::string CVARDException::Describe() const
{
    std::string text = "code " + std::to_string(m_Code);
    if (!m_Detail.empty())
        text += ": " + m_Detail;
    return text;
}

namespace VARDCommon
{

std::string QuoteForMessage(const std::string& word)
{
    static const char kHex[] = "0123456789abcdef";
    std::string text = "\"";
    const std::size_t shown = std::min(word.size(), kQuotedWordPrefix);
    for (std::size_t i = 0; i < shown; ++i)
    {
        const auto c = static_cast<unsigned char>(word[i]);
        if (c < 0x20 || c >= 0x7F || c == '\\' || c == '"')
        {
            text += "\\x";
            text += kHex[c >> 4];
            text += kHex[c & 15];
        }
        else
        {
            text += static_cast<char>(c);
        }
    }
    if (shown < word.size())
        text += "...";
    return text + "\"";
}

} // namespace VARDCommon
