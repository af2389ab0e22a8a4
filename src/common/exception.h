#pragma once

#include <cstddef>
#include <string>
#include <utility>

// The one exception type of the system. The code says what kind of failure it
// is; the detail text is for people (module authors, bug reports) and never
// drives behaviour.
//   1 bad or missing data          2 missing entry, bad id, wrong state
//   3 order breaks a rule          4 game screen / UI / shell failure
//   5 graphics device failure      6 script failure
class CVARDException
{
public:
    explicit CVARDException(int code, std::string detail = {})
        : m_Code(code), m_Detail(std::move(detail))
    {
    }

    int GetCode() const { return m_Code; }
    const std::string& GetDetail() const { return m_Detail; }

    // "code N: detail", for tools and logs.
    std::string Describe() const;

private:
    int m_Code;
    std::string m_Detail;
};

namespace VARDCommon
{

// Error texts show at most this much of a word or a name.
constexpr std::size_t kQuotedWordPrefix = 40;

// The word or name in double quotes for an error text: at most a short
// prefix, with "..." after a cut, and bytes that are not printable ASCII as
// \xHH. A name may be as long as a saved game lets it be, and a message
// that held it whole would bury what it says.
std::string QuoteForMessage(const std::string& word);

} // namespace VARDCommon
