#pragma once

#include <QString>

// What a failed exchange's outcome means and what to do about it, in the
// words of the guide's table of codes: shown under the failure's own text.
namespace FailureAdvice {
// The advice for an outcome: what it means, what to do, and how the run goes
// on (by itself with the next row, or from the failed row by "Продолжить с").
QString ForOutcome(int outcome, bool runGoesOn = false);
// The advice for a failure message of a table run ("Внимание!\r\nОшибка (2) при
// ..."); empty for a message that names no outcome.
QString ForMessage(const QString &message);
} // namespace FailureAdvice
