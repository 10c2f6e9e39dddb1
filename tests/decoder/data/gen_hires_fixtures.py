#!/usr/bin/python3
"""Messages of the high-resolution templates 3-09-057 (ascent) and 3-09-056 (descent), encoded
with ecCodes (Debian's python3-eccodes), each with the values ecCodes decodes from it beside it.

    /usr/bin/python3 tests/decoder/data/gen_hires_fixtures.py [output folder]

The JSON lists, per subset, every element in message order as [descriptor, value] (null for a
missing value); the replication factors stand as 031002 and 031001. The test suite reads the
committed files; it never runs this script.
"""
import json
import math
import os
import sys

import eccodes as ec

MISS_D = ec.CODES_MISSING_DOUBLE
MISS_L = ec.CODES_MISSING_LONG

STR_WIDTH = {'shipOrMobileLandStationIdentifier': 9, 'radiosondeSerialNumber': 20,
             'observerIdentification': 4, 'softwareVersionNumber': 12,
             'wigosLocalIdentifierCharacter': 16, 'text': 11}

# 3 01 128 (WMO Table D), ecCodes keys.
SONDE_IDENT = ['radiosondeSerialNumber', 'radiosondeAscensionNumber', 'radiosondeReleaseNumber',
               'observerIdentification', 'radiosondeCompleteness', 'radiosondeConfiguration',
               'correctionAlgorithmsForHumidityMeasurements', 'radiosondeGroundReceivingSystem',
               'radiosondeOperatingFrequency', 'balloonManufacturer', 'balloonType', 'weightOfBalloon',
               'balloonShelterType', 'typeOfGasUsedInBalloon', 'amountOfGasUsedInBalloon',
               'balloonFlightTrainLength', 'pressureSensorType', 'temperatureSensorType',
               'humiditySensorType', 'radome', 'geopotentialHeightCalculation', 'softwareVersionNumber',
               'reasonForTermination']

LEVEL_KEYS = ['timePeriod', 'extendedVerticalSoundingSignificance', 'pressure',
              'nonCoordinateGeopotentialHeight', 'latitudeDisplacement', 'longitudeDisplacement',
              'airTemperature', 'dewpointTemperature', 'windDirection', 'windSpeed']
SHEAR_KEYS = ['timePeriod', 'extendedVerticalSoundingSignificance', 'pressure', 'latitudeDisplacement',
              'longitudeDisplacement', 'absoluteWindShearIn1KmLayerBelow', 'absoluteWindShearIn1KmLayerAbove']


def sonde_ident(serial):
    return dict(zip(SONDE_IDENT, [serial, 4439, 1, None, 1, 16, 3, 62, 405400000, 62, 30, 0.35, None, 0, 1.0,
                                  30.0, 1, 1, 4, None, 1, 'Sonde 2.1.7', 1]))


def levels(n, descent=False, missing_every=0):
    """n levels of a smooth sounding, 2 s apart; every missing_every-th loses its pressure and
    height (the higher-precision fields) and its dew point."""
    out = []
    for i in range(n):
        t = 2 * i
        z = 10.0 + 5.1 * t if not descent else 30000.0 - 11.3 * t
        p = round(101325.0 * math.exp(-z / 7400.0))
        temp = round(288.15 - 0.0065 * min(z, 11000.0) + 0.001 * (i % 7), 2)
        dew = round(temp - 2.0 - 0.0009 * z % 25.0, 2)
        lev = {'timePeriod': t, 'extendedVerticalSoundingSignificance': 65536 if i == 0 else (8192 if i % 97 == 5 else 0),
               'pressure': p, 'nonCoordinateGeopotentialHeight': round(z, 1),
               'latitudeDisplacement': round(0.00001 * i * 3, 5), 'longitudeDisplacement': round(0.00001 * i * 5, 5),
               'airTemperature': temp, 'dewpointTemperature': dew, 'windDirection': (200 + i) % 360,
               'windSpeed': round(2.0 + (i % 300) * 0.1, 1)}
        if missing_every and i % missing_every == 3:
            lev['pressure'] = None
            lev['nonCoordinateGeopotentialHeight'] = None
            lev['dewpointTemperature'] = None
        out.append(lev)
    return out


def shear(n):
    return [{'timePeriod': 600 + 60 * i, 'extendedVerticalSoundingSignificance': 4096, 'pressure': 25000 - 1000 * i,
             'latitudeDisplacement': 0.01 * i, 'longitudeDisplacement': 0.02, 'absoluteWindShearIn1KmLayerBelow': 12.3,
             'absoluteWindShearIn1KmLayerAbove': 7.5 + i} for i in range(n)]


def station(block, number, ship=None, wigos=(0, 20000, 0, '01001')):
    return {'wigosIdentifierSeries': wigos[0], 'wigosIssuerOfIdentifier': wigos[1], 'wigosIssueNumber': wigos[2],
            'wigosLocalIdentifierCharacter': wigos[3], 'blockNumber': block, 'stationNumber': number,
            'shipOrMobileLandStationIdentifier': ship, 'radiosondeType': 163,
            'solarAndInfraredRadiationCorrection': 4, 'trackingTechniqueOrStatusOfSystem': 8,
            'measuringEquipmentType': 7}


TIME = {'timeSignificance': 18, 'year': 2026, 'month': 1, 'day': 6, 'hour': 5, 'minute': 11, 'second': 28}


def ascent(st, lev, sh, serial='307 2 00852'):
    seq = list(st.items()) + list(sonde_ident(serial).items()) + list(TIME.items())
    seq += [('latitude', 70.9395), ('longitude', -8.66963), ('heightOfStationGroundAboveMeanSeaLevel', 10.0),
            ('heightOfBarometerAboveMeanSeaLevel', 11.0), ('height', 10),
            ('stationElevationQualityMarkForMobileStations', None),
            ('verticalSignificanceSurfaceObservations', 8), ('cloudAmount', 5), ('heightOfBaseOfCloud', 900),
            ('cloudType', 35), ('cloudType', 21), ('cloudType', 60), ('verticalSignificanceSurfaceObservations', None),
            ('oceanographicWaterTemperature', 275.35)]
    return seq, lev, sh


def descent(st, lev, sh, start):
    seq = list(st.items()) + list(sonde_ident('G2734109').items()) + list(TIME.items())
    seq += [('coordinatesSignificance', 4 if start else None), ('latitude', start[0] if start else None),
            ('longitude', start[1] if start else None), ('height', start[2] if start else None),
            ('coordinatesSignificance', None)]
    return seq, lev, sh


def subset_items(sub):
    seq, lev, sh = sub
    items = list(seq)
    for l in lev:
        items += [(k, l[k]) for k in LEVEL_KEYS]
    for s in sh:
        items += [(k, s[k]) for k in SHEAR_KEYS]
    return items


def encode(descriptors, subsets, outer=None, outside=(), references=()):
    """outside: (key, value) of the elements outside the template and 3 01 128, the same in every
    subset; references: the values the 2 03 YYY operators define."""
    h = ec.codes_bufr_new_from_samples('BUFR4')
    for key, value in (('masterTableNumber', 0), ('bufrHeaderCentre', 98), ('bufrHeaderSubCentre', 0),
                       ('updateSequenceNumber', 0), ('dataCategory', 2), ('internationalDataSubCategory', 4),
                       ('dataSubCategory', 0), ('masterTablesVersionNumber', 39), ('localTablesVersionNumber', 0),
                       ('typicalYear', 2026), ('typicalMonth', 1), ('typicalDay', 6), ('typicalHour', 5),
                       ('typicalMinute', 11), ('typicalSecond', 0), ('numberOfSubsets', len(subsets)),
                       ('observedData', 1), ('compressedData', 0)):
        ec.codes_set(h, key, value)
    ec.codes_set_array(h, 'inputExtendedDelayedDescriptorReplicationFactor', [len(s[1]) for s in subsets])
    ec.codes_set_array(h, 'inputDelayedDescriptorReplicationFactor', [len(s[2]) for s in subsets])
    if references:
        ec.codes_set_array(h, 'inputOverriddenReferenceValues', list(references))
    ec.codes_set_array(h, 'unexpandedDescriptors', descriptors)
    occurrences, order = {}, []
    for sub in subsets:
        items = (list(sonde_ident(outer).items()) if outer else []) + list(outside) + subset_items(sub)
        for k, v in items:
            if k not in occurrences:
                occurrences[k] = []
                order.append(k)
            occurrences[k].append(v)
    for k in order:
        values = occurrences[k]
        if k in STR_WIDTH:
            for i, v in enumerate(values):
                if v is not None:
                    ec.codes_set(h, '#%d#%s' % (i + 1, k), v.ljust(STR_WIDTH[k])[:STR_WIDTH[k]])
        elif any(v is not None for v in values):
            ec.codes_set_array(h, k, [MISS_D if v is None else float(v) for v in values])
    ec.codes_set(h, 'pack', 1)
    message = ec.codes_get_message(h)
    ec.codes_release(h)
    return message


def plain(v):
    if v is None or isinstance(v, str):
        return v
    v = float(v)
    if v == MISS_D or v == MISS_L or v <= -1e99:
        return None
    # Ten significant digits: the value of the element exactly, without the noise of a double.
    return int(round(v)) if abs(v - round(v)) < 1e-9 else float('%.10g' % v)


def decode(message):
    """Per subset, [descriptor, value] of every element in message order, as ecCodes decodes it."""
    h = ec.codes_new_from_message(message)
    ec.codes_set(h, 'unpack', 1)
    it = ec.codes_bufr_keys_iterator_new(h)
    subsets, current = [], None
    while ec.codes_bufr_keys_iterator_next(it):
        name = ec.codes_bufr_keys_iterator_get_name(it)
        if name == 'subsetNumber':
            current = []
            subsets.append(current)
        elif current is not None:
            current.append(name)
    ec.codes_bufr_keys_iterator_delete(it)
    arrays = {}
    out = []
    for names in subsets:
        elements = []
        for ranked in names:
            rank, base = (ranked[1:].split('#', 1) if ranked.startswith('#') else ('1', ranked))
            rank = int(rank)
            if base.endswith('DescriptorReplicationFactor'):
                code = '031002' if base.startswith('extended') else '031001'
                elements.append([code, plain(ec.codes_get(h, ranked))])
                continue
            if base == 'text':  # 2 05 YYY characters have no ->code: YYY is their count
                code = '205%03d' % len(ec.codes_get_string(h, ranked))
            else:
                code = str(ec.codes_get(h, '#%d#%s->code' % (rank, base))).zfill(6)
            if base not in arrays:
                arrays[base] = ec.codes_get_array(h, base)
            values = arrays[base]
            if isinstance(values[0], str):
                key = '#%d#%s' % (rank, base)
                value = None if ec.codes_is_missing(h, key) else ec.codes_get_string(h, key).rstrip()
            else:
                value = plain(values[rank - 1])
            elements.append([code, value])
        out.append({'subset': len(out) + 1, 'elements': elements})
    ec.codes_release(h)
    return out


def write(folder, name, descriptors, subsets, outer=None, outside=(), references=()):
    message = encode(descriptors, subsets, outer, outside, references)
    with open(os.path.join(folder, name + '.bufr'), 'wb') as f:
        f.write(message)
    document = {'file': name + '.bufr', 'decoded_with': 'ecCodes ' + ec.codes_get_api_version(),
                'template': None, 'section3': {'descriptors': ['%06d' % d for d in descriptors]},
                'subsets': decode(message)}
    with open(os.path.join(folder, name + '.json'), 'w') as f:
        f.write('{"file": %s, "decoded_with": %s, "template": null,\n' %
                (json.dumps(document['file']), json.dumps(document['decoded_with'])))
        f.write(' "section3": %s,\n "subsets": [\n' % json.dumps(document['section3']))
        for i, sub in enumerate(document['subsets']):
            f.write('  {"subset": %d, "elements": [\n' % sub['subset'])
            f.write(',\n'.join('   ' + json.dumps(e) for e in sub['elements']))
            f.write('\n  ]}%s\n' % (',' if i + 1 < len(document['subsets']) else ''))
        f.write(' ]}\n')


def twin_of(path):
    """The levels, shear levels and station of a 3-09-052 message, for a 3-09-057 twin of it."""
    with open(path, 'rb') as f:
        h = ec.codes_new_from_message(f.read())
    ec.codes_set(h, 'unpack', 1)
    n = ec.codes_get(h, 'extendedDelayedDescriptorReplicationFactor')
    m = ec.codes_get(h, 'delayedDescriptorReplicationFactor')
    arrays = {k: list(ec.codes_get_array(h, k)) for k in LEVEL_KEYS if k != 'nonCoordinateGeopotentialHeight'}
    arrays['nonCoordinateGeopotentialHeight'] = list(ec.codes_get_array(h, 'nonCoordinateGeopotentialHeight'))
    ec.codes_release(h)
    lev = [{k: plain(arrays[k][i]) for k in LEVEL_KEYS} for i in range(n)]
    sh = [{k: plain(arrays[k][n + i]) if k in ('timePeriod', 'extendedVerticalSoundingSignificance', 'pressure',
                                               'latitudeDisplacement', 'longitudeDisplacement') else 10.0
           for k in SHEAR_KEYS} for i in range(m)]
    return lev, sh


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    # The benchmark's 3-09-057: the levels of the shared 8000-level 3-09-052 fixture, value for value,
    # so that the two decodes differ only in their templates (no JSON: the tests do not read it).
    shared = os.environ.get('TAVIK_SHARED_DIR', '/work/shared') + '/fixtures/temp52_ed4_hires.bufr'
    if os.path.exists(shared):
        lev, sh = twin_of(shared)
        with open(os.path.join(folder, 'hires57_twin_of_temp52_ed4_hires.bufr'), 'wb') as f:
            f.write(encode([309057], [ascent(station(27, 612), lev, sh)]))
    norway = station(1, 1)
    ship = station(None, None, 'LRYQE3U', (0, 20000, 0, 'DBBH'))
    write(folder, 'hires57_missing', [309057], [ascent(norway, levels(120, missing_every=10), shear(2))])
    write(folder, 'hires57_2subsets', [309057],
          [ascent(norway, levels(60), shear(1)), ascent(ship, levels(45), shear(0), serial='N4040012')])
    write(folder, 'hires57_8200levels', [309057], [ascent(norway, levels(8200), shear(3))])
    write(folder, 'hires57_after301128', [301128, 309057], [ascent(norway, levels(30), shear(1))], outer='OUTER 0001')
    # The operators the decoder takes outside the template: a width change and a new reference on
    # the orientation corrections, and 2 05 011 characters, between 3 01 128 and the template.
    write(folder, 'hires57_ops301128',
          [301128, 201131, 25065, 201000, 203012, 25066, 203255, 25066, 203000, 205011, 309057],
          [ascent(norway, levels(25), shear(1)), ascent(ship, levels(12), shear(2), serial='N4040012')],
          outer='OUTER 0002', outside=[('orientationCorrectionAzimuth', 12.34),
                                       ('orientationCorrectionElevation', -15.25), ('text', 'MOSKVA VDNH')],
          references=[-2000])
    write(folder, 'hires56_descent', [309056],
          [descent(norway, levels(80, descent=True), shear(1), (71.30211, -7.93301, 29870))])
    write(folder, 'hires56_nostart', [309056],
          [descent(station(1, 1, wigos=(None, None, None, None)), levels(40, descent=True, missing_every=7), shear(0),
                   None)])


if __name__ == '__main__':
    main()
