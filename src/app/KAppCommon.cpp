#include "app/KAppCommon.h"

#include "common/ProgramFolders.h"

KAppCommon* KAppCommon::instance()
{
    static KAppCommon common;
    return &common;
}

KAppCommon::KAppCommon() = default;

QString KAppCommon::getMSConfigFolderPath() const
{
    return ProgramFolders::profileRoot();
}

QString KAppCommon::getMacroFolderPath() const
{
    return ProgramFolders::macroRoot();
}
