#include "app/product_strings.h"

std::string GetProductName()
{
    return "Brelmoor";
}

std::string GetProductVersion()
{
    return "Version 1.0 (Beta)";
}

std::string GetMakerName()
{
    return "Tessaly";
}

std::string GetProductWebPage()
{
    return "https://brelmoor.invalid/";
}

std::string GetMakerWebPage()
{
    return "https://tessaly.invalid/";
}

std::string GetFeedbackPage()
{
    return "https://brelmoor.invalid/feedback";
}

std::string GetContactMail()
{
    return "brelmoor@tessaly.invalid";
}
