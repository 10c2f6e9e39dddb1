// The Russian dump of the section headers: the first lines of every decoded text.
#include <string>

#include "core/BitReader.h"
#include "core/Cp1251.h"
#include "core/TextHelpers.h"
#include "core/uBUFRDefs.h"

namespace {

constexpr std::size_t DescriptorLineWidth = 120;

std::string Num(std::uint64_t v) { return std::to_string(v); }
std::string YesNo(bool v) { return v ? "+" : "-"; }

void Add(LineList& lines, const char* utf8Label, const std::string& value = {}) {
    lines.push_back(Utf8ToCp1251(utf8Label) + value);
}

void AddDescriptorLines(LineList& lines, const tBUFR_Section3_Data_Description& s3) {
    std::string line = Utf8ToCp1251("Дескрипторы");
    const std::uint32_t count = s3.DescriptorCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        // A line is closed only once it has grown beyond the width; the next starts with an item.
        if (line.size() > DescriptorLineWidth) {
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += ' ';
        }
        const DescriptorParts d = SplitDescriptor(s3.Descriptors[2 * i], s3.Descriptors[2 * i + 1]);
        line += Num(i) + ":" + Num(d.F) + "-" + IntStrZ(d.X, 2) + "-" + IntStrZ(d.Y, 3);
    }
    lines.push_back(std::move(line));
}

}  // namespace

bool TBUFRMessage::DumpSections(LineList* Lines) const {
    if (Lines == nullptr || !Section0 || !Section0->Parsed || !Section1 || !Section1->Parsed) return false;
    const bool hasOptional = (Section1->SectionFlags & 0x80) != 0;
    if (hasOptional && (!Section2 || !Section2->Parsed)) return false;
    if (!Section3 || !Section3->Parsed || !Section4 || !Section4->Parsed) return false;

    LineList& out = *Lines;
    const tBUFR_Section1_Identification& s1 = *Section1;
    const tBUFR_Section3_Data_Description& s3 = *Section3;
    const std::string octets = " " + Utf8ToCp1251("октет(ов)");

    Add(out, "::::Раздел указателя(0)");
    Add(out, "Длина сообщения:", Num(MessageLength()) + octets);
    Add(out, "Издание BUFR:", Num(Edition()));
    Add(out, "::::Раздел идентификации(1)");
    Add(out, "Основная таблица:", Num(s1.MasterTable));
    Add(out, "Центр-поставщик:", Num(s1.Centre));
    Add(out, "Подцентр-поставщик:", Num(s1.SubCentre));
    Add(out, "Последовательный номер обновления:", Num(s1.UpdateSequence));
    Add(out, "Факультативный раздел:", YesNo(hasOptional));
    Add(out, "Длина необязательного раздела:", Num(Section2 ? Section2->SectionLength() : 0) + octets);
    Add(out, "Категория данных:", Num(s1.DataCategory));
    Add(out, "Международная подкатегория данных:", Num(s1.IntSubCategory));
    Add(out, "Национальная подкатегория данных:", Num(s1.LocalSubCategory));
    Add(out, "Номер версии основной таблицы:", Num(s1.MasterTableVersion));
    Add(out, "Номер версии национальной таблицы:", Num(s1.LocalTableVersion));
    Add(out, "Дата и срок:",
        Num(s1.TypicalYear) + "-" + Num(s1.TypicalMonth) + "-" + Num(s1.TypicalDay) + " " + Num(s1.TypicalHour) + ":" +
            Num(s1.TypicalMinute) + ":" + Num(s1.TypicalSecond));
    Add(out, "Национальные данные в разделе 1:", YesNo(s1.LocalDataLength > 0));
    Add(out, "::::Раздел описания данных(3)");
    Add(out, "Количество поднаборов данных:", Num(s3.NumSubsets));
    Add(out, "Данные наблюдений:", YesNo(s3.Observed()));
    Add(out, "Данные сжаты:", YesNo(s3.Compressed()));
    Add(out, "Количество дескрипторов:", Num(s3.DescriptorCount()));
    AddDescriptorLines(out, s3);
    Add(out, "::::Раздел данных(4)");
    Add(out, "Длина раздела данных:", Num(Section4->SectionLength()) + octets);
    return true;
}
