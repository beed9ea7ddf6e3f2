#pragma once

#include <QString>

// The directory that holds the running executable, symbolic links resolved; the empty text when
// the system cannot tell.
QString executableDirectory();
