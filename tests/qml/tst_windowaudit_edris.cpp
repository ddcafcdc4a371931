#include "WindowAudit.h"

// The layout audit of the whole window on the simulated EDRIS.
int main(int argc, char** argv)
{
    return WindowAudit::runTest(argc, argv, QStringLiteral("EDRIS"));
}
