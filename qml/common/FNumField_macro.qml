import QtQuick 2.12

// Number field of the macro page (delays and coordinates).
HNumField {
    mFieldWidth: 72
    mFieldHeight: 24
    mBtnWidth: 22
    mBtnHeight: 24
}
