#include "pages/RunTypes.h"

int ProgressPercent(int position, int total)
{
    if (total <= 0)
        return 0;
    const qint64 scaled = qint64(position) * 100;
    const qint64 quotient = scaled / total;
    const qint64 twice = (scaled % total) * 2;
    if (twice > total || (twice == total && quotient % 2 != 0))
        return int(quotient + 1);
    return int(quotient);
}
