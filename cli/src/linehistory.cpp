#include "linehistory.h"

#include <cstdio>
// readline's header needs FILE declared first.
#include <readline/history.h>

#include "texthelpers.h"

std::string RecordLine(const std::string& line)
{
    std::string trimmed = TrimLeadingBlanks(line);
    if (!trimmed.empty()) {
        trimmed = TrimTrailingBlanks(trimmed);
        if (!history_is_stifled())
            stifle_history(kHistoryLines);
        if (trimmed.size() <= kHistoryLineBytes)
            add_history(trimmed.c_str());
    }
    return trimmed;
}
