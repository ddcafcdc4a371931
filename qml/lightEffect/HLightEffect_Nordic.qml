import QtQuick 2.12

// Light-effect preview of the Nordic mouse family: the family has no animation of its own, the page shows its
// zone pictures.
HLightEffect {
    id: root

    property int pageIndex: 0

    function showPage(index) {
        pageIndex = index
    }

    mModels: ["Maldon", "Nesbit", "Jessam", "Jarrow", "Corlis", "Balsom", "Hebden", "Lydford", "Elwin", "Brackly"]
}
