import QtQuick 2.12

// Placeholder of a colour number field: it holds no content of its own.
Item {
}
