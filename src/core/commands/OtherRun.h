#pragma once

// The two runs of the その他の処理 page as commands: case and width conversion, and digit
// alignment. Both keep only the files whose names change, rename them without replacing anything,
// and mark and count every file they could not rename.

#include "core/commands/Host.h"
#include "core/commands/KeptRun.h"
#include "core/commands/RunSteps.h"

namespace Command {

// mode: a CaseConvert conversion mode. Asks nothing: of two files converted to one name, the later
// one in the list gets it.
RunOutcome RunCaseConversion(const RunContext& context, int mode, Host& host);
RunOutcome RunDigitAlignment(const RunContext& context, Host& host);

}  // namespace Command
