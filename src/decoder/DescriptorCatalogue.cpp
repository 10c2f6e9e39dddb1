#include "decoder/DescriptorCatalogue.h"

int FindCatalogueRow(std::uint8_t X, std::uint8_t Y) {
    for (std::size_t row = 0; row < DescriptorCatalogue.size(); ++row)
        if (DescriptorCatalogue[row].Descriptor[1] == X && DescriptorCatalogue[row].Descriptor[2] == Y)
            return static_cast<int>(row);
    return -1;
}
