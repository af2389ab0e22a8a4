#include "app/error_text.h"

#include "common/exception.h"

std::string DescribeError(const std::exception_ptr& error)
{
    if (!error)
        return std::string();
    try
    {
        std::rethrow_exception(error);
    }
    catch (const CVARDException& e)
    {
        return DescribeError(e);
    }
    catch (const std::exception& e)
    {
        return e.what();
    }
    catch (...)
    {
        return "an error of an unknown kind";
    }
}

std::string DescribeError(const CVARDException& error)
{
    return error.GetDetail().empty() ? error.Describe() : error.GetDetail();
}

std::string DescribeCurrentError()
{
    return DescribeError(std::current_exception());
}

std::string WithCause(const std::string& text, const std::string& cause)
{
    if (cause.empty())
        return text;
    return text + "\n" + cause;
}
