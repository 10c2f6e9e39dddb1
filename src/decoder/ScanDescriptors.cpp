// Turning the data description of Section 3 into the flat entry list that DecodeData walks.
#include "core/Errors.h"
#include "core/uBUFRDefs.h"
#include "decoder/DescriptorCatalogue.h"
#include "decoder/UAReport.h"

namespace {

tDescriptorEntry ElementEntry(int row) {
    const tDescriptorRefRec& ref = DescriptorCatalogue[static_cast<std::size_t>(row)];
    return {EntryElement, static_cast<std::uint16_t>(row),
            static_cast<std::uint8_t>(ref.Kind == KindCharacter ? ref.Width / 8 : 0)};
}

// The entry count is kept in 16 bits; a list that would grow past it ends the scan.
constexpr std::size_t MaxEntries = 65535;

// 3-09-050, 3-09-051 and 3-09-052; 3-09-056 (descent) and 3-09-057 (high-resolution ascent).
constexpr bool IsSupportedTemplate(std::uint8_t y) { return y == 50 || y == 51 || y == 52 || y == 56 || y == 57; }

}  // namespace

bool tUAInBound::ScanDescriptors(TBUFRMessage& message) {
    Reset(true, true);
    const tBUFR_Section3_Data_Description& s3 = *message.Section3;
    if (s3.DescriptorBytes < 2) return false;
    const std::uint32_t count = s3.DescriptorBytes / 2u;
    std::uint32_t expected = count;
    DescList.reserve(count);

    for (std::uint32_t k = 0; k < count; ++k) {
        std::uint8_t f = 0, x = 0, y = 0;
        if (!s3.GetDescriptor(k, f, x, y)) throw TavikError("Ошибка чтения дескриптора" + std::to_string(k) + "!");
        bool taken = true;
        if (f == 3 && x == 9) {
            if (HasTemplate)
                throw TavikError("Поддерживается использование только одного из шаблонов:3-09-050,3-09-051 или 3-09-052!");
            if (IsSupportedTemplate(y)) {
                HasTemplate = true;
                TemplateFX[0] = 3;
                TemplateFX[1] = 9;
                TemplateKind = y;
                DescList.push_back({EntryTemplate, y, 9});
            } else {
                taken = false;
            }
        } else if (f == 3 && x == 1 && y == 128 && DescList.size() + SondeIdentSequence.size() <= MaxEntries) {
            for (std::uint16_t row : SondeIdentSequence) DescList.push_back(ElementEntry(row));
            expected += static_cast<std::uint32_t>(SondeIdentSequence.size()) - 1;
        } else if (f == 2 && (x == 1 || x == 2 || x == 3 || x == 5)) {
            DescList.push_back({EntryOperator, x, y});
        } else if (f == 0) {
            const int row = FindCatalogueRow(x, y);
            if (row >= 0) DescList.push_back(ElementEntry(row));
            else taken = false;
        } else {
            taken = false;  // other sequences, other operators, replications
        }
        if (!taken) break;
    }

    const std::uint32_t taken = static_cast<std::uint32_t>(DescList.size());
    AllKnown = taken == expected;
    EntryCount = static_cast<std::uint16_t>(taken);
    UnknownCount = static_cast<std::uint16_t>(expected - taken);
    return true;
}
