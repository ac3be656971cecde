#include "SponsorBanner.h"

namespace {

QList<SponsorBanner::Call> &log()
{
    static QList<SponsorBanner::Call> calls;
    return calls;
}

} // namespace

void SponsorBanner::AdShow(quintptr a1, quintptr a2, quintptr a3, quintptr windowHandle,
                           quintptr a5, quintptr a6, quintptr width, quintptr height, quintptr a9,
                           quintptr a10, quintptr a11, quintptr a12, quintptr a13, quintptr a14)
{
    log().append(
        {true, {a1, a2, a3, windowHandle, a5, a6, width, height, a9, a10, a11, a12, a13, a14}});
}

void SponsorBanner::AdClose(quintptr a1, quintptr a2, quintptr a3)
{
    log().append({false, {a1, a2, a3}});
}

const QList<SponsorBanner::Call> &SponsorBanner::calls()
{
    return log();
}

void SponsorBanner::clearCalls()
{
    log().clear();
}
