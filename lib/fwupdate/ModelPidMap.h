#pragma once

#include <QMap>
#include <QSet>
#include <QString>

// The library's table of models: product id -> model name, ascending by id, and which updater flashes which
// ids. Built once from the id header; constant for the life of the library.
namespace ModelPidMap {

enum class Updater {
    None,
    Cawdor,         // HID bootloader transfer
    CawdorNordic,   // Nordic DFU through nrfutil
    Hollis,         // per-model update program reporting over the pipe
    Oakham,         // flashing program, then the id write-back
    Rushton,        // the model's own flashing program
    Ulverd,         // flashing program with its runtime copied beside it
};

const QMap<int, QString>& map();

// The model name of an id; empty when the table has none.
QString modelName(int pid);
// The first id (ascending) whose name equals model exactly; 0 when none.
int productId(const QString& model);
// The updater that owns the id.
Updater updaterFor(int pid);
// The wireless ids of an updater's row (the "_WIRELESS" names), which the bootloader updaters refuse.
bool isWireless(int pid);

} // namespace ModelPidMap
