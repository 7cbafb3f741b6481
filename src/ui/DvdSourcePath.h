#pragma once

#include <QString>

// The path the DVD plug-in opens for a place the user picked: a folder holding
// VIDEO_TS (itself), a VIDEO_TS folder or its VIDEO_TS.IFO (the folder above),
// or an .iso image (itself). Empty for anything else. Letter case of the names
// does not matter, as on discs written by other systems.
QString DvdSourcePath(const QString& picked);
