#pragma once

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
