#pragma once

#include <QString>

// A value of an XML file addressed by a dotted path of element names, the
// first being the document element ("XMLPackage.videoversion"): the named
// attribute of the last element, or its text when the attribute name is
// blank. Empty when an element is missing; "error" when the file cannot be
// loaded or read.
QString ReadXmlValue(const QString& file, const QString& path, const QString& attribute);
