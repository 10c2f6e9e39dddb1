#include "products/SoundingSource.h"

#include "core/uBUFRDefs.h"

MessageHeader HeaderOf(const TBUFRMessage& Message) {
    MessageHeader h;
    if (Message.Section0) h.Edition = Message.Section0->Edition;
    if (const tBUFR_Section1_Identification* s1 = Message.Section1.get(); s1 && s1->Parsed) {
        h.MasterTable = s1->MasterTable;
        h.Centre = s1->Centre;
        h.SubCentre = s1->SubCentre;
        h.UpdateSequence = s1->UpdateSequence;
        h.DataCategory = s1->DataCategory;
        h.IntSubCategory = s1->IntSubCategory;
        h.LocalSubCategory = s1->LocalSubCategory;
        h.MasterTableVersion = s1->MasterTableVersion;
        h.LocalTableVersion = s1->LocalTableVersion;
        h.TypicalYear = s1->TypicalYear;
        h.TypicalMonth = s1->TypicalMonth;
        h.TypicalDay = s1->TypicalDay;
        h.TypicalHour = s1->TypicalHour;
        h.TypicalMinute = s1->TypicalMinute;
        h.TypicalSecond = s1->TypicalSecond;
    }
    if (const tBUFR_Section3_Data_Description* s3 = Message.Section3.get(); s3 && s3->Parsed) {
        h.NumSubsets = s3->NumSubsets;
        h.Observed = s3->Observed();
        h.Compressed = s3->Compressed();
    }
    return h;
}
