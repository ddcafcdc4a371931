#include "ModelPidMap.h"

#include "common/DeviceIds.h"

namespace ModelPidMap {
namespace {

struct Row {
    const char* name;
    quint16 pid;
    Updater updater;
};

constexpr quint16 W(const char* model) { return DeviceIds::mousePid(model, true); }
constexpr quint16 P(const char* model) { return DeviceIds::mousePid(model); }

// Every wired model with its wireless id where it has one. A 0 here is a model missing from the id header.
constexpr Row kRows[] = {
    {"YARRIN", P("YARRIN"), Updater::Cawdor},
    {"YARRIN_WIRELESS", W("YARRIN"), Updater::Cawdor},
    {"ZENNOR", P("ZENNOR"), Updater::Cawdor},
    {"ZENNOR_WIRELESS", W("ZENNOR"), Updater::Cawdor},
    {"ABBERLY", P("ABBERLY"), Updater::Cawdor},
    {"ABBERLY_WIRELESS", W("ABBERLY"), Updater::Cawdor},
    {"FARRANT", P("FARRANT"), Updater::Cawdor},
    {"FARRANT_WIRELESS", W("FARRANT"), Updater::Cawdor},
    {"GADSBY", P("GADSBY"), Updater::Cawdor},
    {"GADSBY_WIRELESS", W("GADSBY"), Updater::Cawdor},
    {"ICKWOR", P("ICKWOR"), Updater::Cawdor},
    {"ICKWOR_WIRELESS", W("ICKWOR"), Updater::Cawdor},
    {"KELHAM", P("KELHAM"), Updater::Cawdor},
    {"KELHAM_WIRELESS", W("KELHAM"), Updater::Cawdor},

    {"JARROW_NORDIC", P("JARROW_NORDIC"), Updater::CawdorNordic},
    {"JARROW_NORDIC_WIRELESS", W("JARROW_NORDIC"), Updater::CawdorNordic},
    {"KELHAM_NORDIC", P("KELHAM_NORDIC"), Updater::CawdorNordic},
    {"KELHAM_NORDIC_WIRELESS", W("KELHAM_NORDIC"), Updater::CawdorNordic},
    {"NESBIT", P("NESBIT"), Updater::CawdorNordic},
    {"NESBIT_WIRELESS", W("NESBIT"), Updater::CawdorNordic},
    {"JESSAM", P("JESSAM"), Updater::CawdorNordic},
    {"JESSAM_WIRELESS", W("JESSAM"), Updater::CawdorNordic},
    {"DALLOW", P("DALLOW"), Updater::CawdorNordic},
    {"DALLOW_WIRELESS", W("DALLOW"), Updater::CawdorNordic},
    {"HEBDEN", P("HEBDEN"), Updater::CawdorNordic},
    {"HEBDEN_WIRELESS", W("HEBDEN"), Updater::CawdorNordic},
    {"LYDFORD", P("LYDFORD"), Updater::CawdorNordic},
    {"LYDFORD_WIRELESS", W("LYDFORD"), Updater::CawdorNordic},
    {"BRACKLY", P("BRACKLY"), Updater::CawdorNordic},
    {"BRACKLY_WIRELESS", W("BRACKLY"), Updater::CawdorNordic},
    {"BALSOM", P("BALSOM"), Updater::CawdorNordic},
    {"BALSOM_WIRELESS", W("BALSOM"), Updater::CawdorNordic},
    {"CORLIS", P("CORLIS"), Updater::CawdorNordic},
    {"CORLIS_WIRELESS", W("CORLIS"), Updater::CawdorNordic},
    {"ELWIN", P("ELWIN"), Updater::CawdorNordic},
    {"ELWIN_WIRELESS", W("ELWIN"), Updater::CawdorNordic},

    {"QUENBY_8A", DeviceIds::kKeyboardWired, Updater::Hollis},
    {"QUENBYRGB", DeviceIds::kRgbKeyboard, Updater::Hollis},
    {"HARLO_Hollis", P("HARLO_Hollis"), Updater::Hollis},
    {"DUNMOR_Hollis", P("DUNMOR_Hollis"), Updater::Hollis},

    {"DUNMOR", P("DUNMOR"), Updater::Oakham},
    {"HARLO", P("HARLO"), Updater::Oakham},
    {"IVELL", P("IVELL"), Updater::Oakham},
    {"GARRICK", P("GARRICK"), Updater::Oakham},
    {"LORRIM", P("LORRIM"), Updater::Oakham},
    {"KINLOCH", P("KINLOCH"), Updater::Oakham},

    {"SELWIN", P("SELWIN"), Updater::Rushton},
    {"TAMSIN", P("TAMSIN"), Updater::Rushton},
    {"EDRIS", P("EDRIS"), Updater::Rushton},
    {"VARLO", P("VARLO"), Updater::Rushton},
    {"WENDAL", P("WENDAL"), Updater::Rushton},
    {"ORLAN", P("ORLAN"), Updater::Rushton},
    {"PEMBRY", P("PEMBRY"), Updater::Rushton},

    {"ULVERD", P("ULVERD"), Updater::Ulverd},
    {"ULVERD_LOW", P("ULVERD_LOW"), Updater::Ulverd},
};

static_assert(sizeof(kRows) / sizeof(kRows[0]) == 55, "the model table has 55 entries");

constexpr bool allIdsKnown()
{
    for (const Row& r : kRows) {
        if (r.pid == 0)
            return false;
    }
    return true;
}
static_assert(allIdsKnown(), "every model of the table has an id in the id header");

bool endsWithWireless(const char* name)
{
    return QByteArray(name).endsWith("_WIRELESS");
}

} // namespace

const QMap<int, QString>& map()
{
    static const QMap<int, QString> table = [] {
        QMap<int, QString> m;
        for (const Row& r : kRows)
            m.insert(r.pid, QString::fromLatin1(r.name));
        return m;
    }();
    return table;
}

QString modelName(int pid)
{
    return map().value(pid);
}

int productId(const QString& model)
{
    for (auto it = map().cbegin(); it != map().cend(); ++it) {
        if (it.value() == model)
            return it.key();
    }
    return 0;
}

Updater updaterFor(int pid)
{
    for (const Row& r : kRows) {
        if (r.pid == pid)
            return r.updater;
    }
    return Updater::None;
}

bool isWireless(int pid)
{
    for (const Row& r : kRows) {
        if (r.pid == pid)
            return endsWithWireless(r.name);
    }
    return false;
}

} // namespace ModelPidMap
