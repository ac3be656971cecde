#pragma once

#include <QList>
#include <QtGlobal>

// The sponsor banner's two entry points. The banner itself is outside the program; this one
// records each call and draws nothing.
class SponsorBanner {
public:
    struct Call {
        bool show; // AdShow, else AdClose
        QList<quintptr> arguments;
    };

    static void AdShow(quintptr a1, quintptr a2, quintptr a3, quintptr windowHandle, quintptr a5,
                       quintptr a6, quintptr width, quintptr height, quintptr a9, quintptr a10,
                       quintptr a11, quintptr a12, quintptr a13, quintptr a14);
    static void AdClose(quintptr a1, quintptr a2, quintptr a3);

    static const QList<Call> &calls();
    static void clearCalls();
};
