#include "shell/labeldocument.h"

QColor LabelDocument::textColorFor(const QColor &background)
{
    const bool pureWhite = background.red() == 255 && background.green() == 255 && background.blue() == 255;
    return pureWhite ? QColor(Qt::black) : QColor(Qt::white);
}

QString LabelDocument::pictogramCode(int n)
{
    return QStringLiteral("SGH%1").arg(n, 2, 10, QLatin1Char('0'));
}

bool LabelDocument::pictogramSelected(int n) const
{
    return pictograms.contains(pictogramCode(n));
}

bool LabelDocument::hasComplements() const
{
    return !quantity.isEmpty() || !capacity.isEmpty() || !ufi.isEmpty() || !contains.isEmpty() || !infos.isEmpty()
        || !sdsAddress.isEmpty() || !otherComplements.isEmpty();
}
