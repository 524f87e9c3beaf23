#include "ErrorMessage.h"

#include "CommandError.h"
#include "TChartSeries.h"

#include <new>

QString errorMessageOf(const std::exception &error)
{
    if (const auto *command = dynamic_cast<const CommandError *>(&error))
        return command->message();
    if (const auto *chart = dynamic_cast<const EChartError *>(&error))
        return chart->message();
    if (dynamic_cast<const std::bad_alloc *>(&error))
        return QStringLiteral("Out of memory");
    return QString::fromUtf8(error.what());
}
