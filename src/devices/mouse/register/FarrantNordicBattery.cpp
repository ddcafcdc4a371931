#include "devices/mouse/register/FarrantNordicBattery.h"

namespace FarrantNordic {

namespace {

struct BatteryStep {
    int above;
    int percent;
};

// Highest threshold first.
constexpr BatteryStep kBatterySteps[] = {
    {725, 100}, {671, 99}, {669, 98}, {667, 97}, {665, 96}, {664, 95}, {662, 94}, {661, 93}, {659, 91},
    {657, 90},  {655, 89}, {653, 88}, {652, 87}, {650, 86}, {648, 84}, {647, 81}, {646, 78}, {643, 76},
    {641, 74},  {640, 71}, {638, 67}, {637, 51}, {635, 45}, {634, 41}, {632, 37}, {630, 35}, {628, 33},
    {626, 30},  {625, 28}, {623, 25}, {615, 23}, {613, 21}, {610, 19}, {607, 16}, {599, 14}, {595, 12},
    {591, 10},  {582, 8},  {574, 7},  {565, 6},  {557, 4},  {549, 3},  {540, 2},
};

constexpr int kOffset = 512;

int percentOver(int reading, int offset)
{
    if (reading == 0)
        return 0;
    for (const BatteryStep& step : kBatterySteps) {
        if (reading > step.above - offset)
            return step.percent;
    }
    return -1;
}

} // namespace

int batteryPercent(int reading)
{
    return percentOver(reading, 0);
}

int batteryPercentOffset(int reading)
{
    return percentOver(reading, kOffset);
}

} // namespace FarrantNordic
