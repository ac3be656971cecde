#include "TTablist.h"

TTablist::TTablist(QWidget *parent) : TPickList(parent)
{
    setSelectedStyle(psStandard);
    setExtendedSelect(true);
    setItemHeight(fontMetrics().height() + 2);
}
