#pragma once

#include <QString>

// " major.minor build revision " with the last three numbers run together:
// 3.3.0.0 gives " 3.300 ". The update check reads it as a decimal number.
QString FileVersionText(int major, int minor, int build, int revision);
// The same for this build's version.
QString FileVersionText();
