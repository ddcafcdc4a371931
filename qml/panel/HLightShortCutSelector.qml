import QtQuick 2.12

// Combo box of the quick light settings, in the look of the mode box; its user gives the entries and reacts to
// the choice.
HOperatingmodeSelector {
}
