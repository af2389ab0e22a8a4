#include "app/product_strings.h"

std::string GetProductName()
{
    return "Brelmoor";
}

std::string GetMakerName()
{
    return "Tessaly";
}
