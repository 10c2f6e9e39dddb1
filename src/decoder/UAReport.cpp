#include <cstring>

#include "core/uBUFRDefs.h"
#include "decoder/UAReport.h"

void tUAReport::Clear(bool clearStation) {
    Year = 0;
    Month = Day = Hour = Minute = Second = 0;
    TimeSignificance = 31;
    if (clearStation) {
        StationIndex = 0;
        BlockNumber = 0;
        StationNumber = 0;
        std::memset(ShipId, 0, sizeof ShipId);
        Latitude = Longitude = GroundHeight = BarometerHeight = 0;
        ElevationQuality = 0;
    }
    // SondeType through Text11.
    SondeType = RadiationCorrection = TrackingTechnique = EquipmentType = 0;
    ReleaseHeight = 0;
    WaterTemp = 0;
    std::memset(SerialNumber, 0, sizeof SerialNumber);
    ObservationNumber = SoundingNumber = 0;
    std::memset(ObserverId, 0, sizeof ObserverId);
    CarrierFrequency = 0;
    GroundSystem = 0;
    MetaHeight = AntennaHeight = AzimuthCorrection = ElevationCorrection = 0;
    Radome = SondeConfig = SuspensionConfig = BalloonMaker = BalloonType = 0;
    BalloonMass = 0;
    GasType = 0;
    GasAmount = 0;
    BalloonShelter = 0;
    SuspensionLength = 0;
    PressureSensor = TempSensor = HumiditySensor = HumidityCorrection = HeightMethod = 0;
    std::memset(SoftwareVersion, 0, sizeof SoftwareVersion);
    TerminationReason = 0;
    std::memset(Text60, 0, sizeof Text60);
    std::memset(Text11, 0, sizeof Text11);
    // The cloud group.
    CloudSignificance = CloudAmount = CloudTypeLow = CloudTypeMiddle = CloudTypeHigh = 0;
    CloudBase = 0;
    ClearHighResolution();
    ClearLevels();
    ClearShearLevels();
    ClearExtra();
}

void tUAReport::ClearHighResolution() {
    WigosSeries = 15;
    WigosIssuer = WigosIssueNumber = 65535;
    std::memset(WigosLocalId, 0, sizeof WigosLocalId);
    DescentSignificance = 255;
    DescentLatitude = DescentLongitude = DescentHeight = MissingValue;
}

tUAInBound::tUAInBound() { ClearMetadata(); }

void tUAInBound::GetLevel(int index, tUALevelRec& rec) const {
    rec = index >= 0 && static_cast<std::size_t>(index) < Levels.size() ? Levels[index] : tUALevelRec{};
}

void tUAInBound::GetShearLevel(int index, tUAShearRec& rec) const {
    rec = index >= 0 && static_cast<std::size_t>(index) < ShearLevels.size() ? ShearLevels[index] : tUAShearRec{};
}

void tUAInBound::ClearLevels() {
    Levels.clear();
    LevelCount = 0;
}

void tUAInBound::ClearShearLevels() {
    ShearLevels.clear();
    ShearCount = 0;
}

void tUAInBound::ClearMetadata() {
    StationIndex = 0;
    std::memset(ShipId, 0, sizeof ShipId);
    std::memset(SerialNumber, 0, sizeof SerialNumber);
    std::memset(ObserverId, 0, sizeof ObserverId);
    std::memset(SoftwareVersion, 0, sizeof SoftwareVersion);
    std::memset(Text60, 0, sizeof Text60);
    std::memset(Text11, 0, sizeof Text11);
    for (double* real : {&Latitude, &Longitude, &GroundHeight, &BarometerHeight, &CarrierFrequency, &MetaHeight,
                         &AntennaHeight, &AzimuthCorrection, &ElevationCorrection, &BalloonMass, &GasAmount,
                         &SuspensionLength})
        *real = MissingValue;
    WaterTemp = static_cast<float>(MissingValue);
    ObservationNumber = 65535;
    SoundingNumber = 255;
    for (std::uint8_t* code : {&ElevationQuality, &RadiationCorrection, &GroundSystem, &Radome, &SondeConfig,
                               &SuspensionConfig, &BalloonMaker, &BalloonType, &GasType, &BalloonShelter,
                               &PressureSensor, &TempSensor, &HumiditySensor, &HumidityCorrection, &HeightMethod,
                               &TerminationReason})
        *code = 255;
}

void tUAInBound::Reset(bool clearStation, bool clearMessage) {
    Clear(clearStation);
    ClearMetadata();
    if (!clearMessage) return;
    Message = nullptr;
    AllKnown = Incomplete = false;
    EntryCount = UnknownCount = 0;
    DescList.clear();
    HasTemplate = false;
    TemplateFX[0] = TemplateFX[1] = 0;
    TemplateKind = 0;
}

std::uint16_t tUAInBound::SubsetCount() const {
    return Message && Message->Section3 ? Message->Section3->NumSubsets : 0;
}
