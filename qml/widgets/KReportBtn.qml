import QtQuick 2.12
import "qrc:/common"

// Earlier report-rate button: one rate of the mouse; choosing it writes that rate, the model's current rate
// marks the button.
KSelectBtn {
    id: root

    readonly property var mReports: ["125HZ", "250HZ", "500HZ", "1000HZ"]

    width: g_resolution.getScaleLength(80)
    mText: mIndex < mReports.length ? mReports[mIndex] : ""
    mIsSelected: g_reportModel.currentReport === mIndex
    onSelected: g_reportModel.selectReport(index)
}
