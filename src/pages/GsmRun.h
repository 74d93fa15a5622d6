#pragma once

#include "kkt/KktTransaction.h"
#include "pages/RunTypes.h"
#include "pages/StringGridModel.h"

// The GSM/Wi-Fi parameters in KKT table 5: parameter n (1..7) is row n of the
// table; the grid lists them with server name and port swapped. The server
// name travels in three fields of 24 characters.
namespace GsmParams {
constexpr int kCount = 7;
constexpr int kServerName = 3;
constexpr int kPartLength = 24;
int GridRowOf(int param);
QString MessageNameOf(int param);
bool Converted(int param); // KKT text code for 1..4, plain bytes for 5..7
} // namespace GsmParams

// Runs the seven parameters in order; stops at the first failure with
// "ВНИМАНИЕ!\r\nНе удалось записать параметр ...!" (or "прочитать").
RunResult RunGsm(KktChannel &channel, const KktConnection &conn, RunDirection direction, StringGridModel &grid,
    const RunHooks &hooks = {});
