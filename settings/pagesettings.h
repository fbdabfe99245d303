#pragma once

#include "listfile/pagewriter.h"

namespace cinemork {

// The page settings of a write as the store holds them now. cssMissing: the user's style sheet is
// named but cannot be read, so the default lines are written (and the user is told).
struct StoredPageSettings
{
    PageSettings page;
    bool cssMissing = false;
    QString cssProblem; // why it cannot be read
};
StoredPageSettings pageSettingsFromStore();

} // namespace cinemork
