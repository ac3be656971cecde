#include "HintStyle.h"

int HintStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                         QStyleHintReturn *returnData) const
{
    if (hint == SH_ToolTip_WakeUpDelay)
        return 1000;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
