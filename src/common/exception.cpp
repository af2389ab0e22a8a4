#include "common/exception.h"

std::string CVARDException::Describe() const
{
    std::string text = "code " + std::to_string(m_Code);
    if (!m_Detail.empty())
        text += ": " + m_Detail;
    return text;
}
