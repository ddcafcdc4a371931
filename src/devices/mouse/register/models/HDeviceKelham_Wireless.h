#pragma once

#include "devices/mouse/register/models/HDeviceKelham.h"

// The wireless Kelham: opens as the wireless Farrant does (game mode at once, the reader in the receiver
// range), and stores power saving the other way round: byte 3 of the word at 0x8AC is 0 when it is on.
// Threads as its base.
class HDeviceKelham_Wireless : public HDeviceKelham
{
    Q_OBJECT
public:
    explicit HDeviceKelham_Wireless(QObject* parent = nullptr);

    bool getPowerSaving() override;
    // Reads the word and changes byte 3 only, so the picture index and flag beside it stay; no game-mode step.
    bool setPowerSaving(bool on) override;

protected:
    bool afterOpen() override;
};
