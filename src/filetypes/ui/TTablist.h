#pragma once

#include "widgets/Picklist.h"

// A list box of TAB-columned rows with extended selection (drag or Ctrl-click for several rows),
// its TABs expanded at every eighth average character width.
class TTablist : public TPickList {
    Q_OBJECT

public:
    explicit TTablist(QWidget *parent = nullptr);
};
