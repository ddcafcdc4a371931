#pragma once

#include "devices/mouse/register/KDeviceFarrant_Nordic.h"

// The Farrant line of the register family: opens a channel of its own and enters game mode at once, without
// a reader thread. Its Yarrin and Gadsby models store five DPI stages as one code byte each (the helpers
// below), its keys follow the Farrant key line (FarrantNordicModels.h). Threads as its base.
class KDeviceFarrant : public KDeviceFarrant_Nordic
{
    Q_OBJECT
public:
    explicit KDeviceFarrant(QObject* parent = nullptr);

protected:
    KDeviceFarrant(int pid, QObject* parent);

    bool openChannel() override;
    bool afterOpen() override;

    // Five stages in every second byte from 0x888, (code + 2) * 100 DPI for codes 0..48 (0 for any other
    // code); the highest selectable index at 0x896.
    QVector<int> readFiveStages();
    // Enabled stages first, then the others: refused, with nothing written, for more than five values, no
    // stage switched on or a value above 5000; a value below 200 is stored as code 0 (200 DPI).
    bool writeFiveStages(const QVector<int>& values);
};
