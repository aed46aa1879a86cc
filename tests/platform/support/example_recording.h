// A small recording the painter tests open: the recording file format's
// worked example, with two more rows, the fourth one missing its V value.
#pragma once

namespace vexa::testing {

inline constexpr char kExample[] =
    "Format-Version: 2\r\n"
    "Device-Name: Airo-510\t Flown-710\r\n"
    "Channels-Count: 2\r\n"
    "Started-Record: 08.12.2026 14:23:05\r\n"
    "Stopped-Record: 08.12.2026 14:23:21\r\n"
    "Sample-Interval: 5.0\r\n"
    "Description: test                                                                              \r\n"
    "Data-Count:      5\r\n"
    "Column-Header:\tV (l)\tM (l/min)\tMarks\r\n"
    "Data-Color: 65280\t16711935\t\r\n"
    "Data-AtmPressure: 760.0\r\n"
    "Data-BodyMass: 80.0\r\n"
    "Data-TempEnviroment: 20.0\r\n"
    "Data-Humidity: 75.0\r\n"
    "Data-Table:\r\n"
    "0.6\t12.5\t\r\n"
    "0.5\t11.9\tstart\r\n"
    "0.6\t12.2\t\r\n"
    "-\t12.0\t\r\n"
    "0.55\t12.4\t\r\n";

}  // namespace vexa::testing
