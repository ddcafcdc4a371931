#include "profiles/HConfigView.h"

HConfigView::HConfigView(QObject* parent)
    : QObject(parent)
    , mDefaultPictures{QStringLiteral("qrc:/common/newUI/configPic1.png"), QStringLiteral("qrc:/common/newUI/configPic2.png"),
                       QStringLiteral("qrc:/common/newUI/configPic3.png")}
{
}

int HConfigView::getItemValue()
{
    return mConfigItems.size();
}

bool HConfigView::insertItemAt(QString text, int index, bool isDir, QString image)
{
    if (mConfigItems.size() >= kMaxItems)
        return false;
    const int position = index == -1 ? mConfigItems.size() : qBound(0, index, mConfigItems.size());
    const int dot = text.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        text.truncate(dot);
    emit preItemInserted(position);
    mConfigItems.insert(position, HConfigViewItem{text, isDir, image});
    emit postItemInserted();
    return true;
}
