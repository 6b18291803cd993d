#pragma once
// <windows.h> for the backend. Its PostMessage macro would rename the Desktop interface's
// member of that name in whichever headers come after it, and a class that overrides it
// would then miss it; code here calls ::PostMessageW by its own name instead.
#include <windows.h>
#undef PostMessage
